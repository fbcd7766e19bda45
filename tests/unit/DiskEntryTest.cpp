#include "common/DiskEntry.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class DiskEntryTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, std::size_t size) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path) << std::string(size, 'x');
    return path;
  }
  std::vector<std::string> Listed(const std::string& path, bool* ok = nullptr) {
    std::vector<std::string> names;
    const bool result = ListFolder(path, [&](const ListedEntry& e) {
      names.push_back(e.name + (e.kind == DiskKind::Folder ? "/" : ""));
      return true;
    });
    if (ok) *ok = result;
    std::sort(names.begin(), names.end());
    return names;
  }
  TempFolder temp;
  const std::string dir_ = temp.Path();
};

TEST_F(DiskEntryTest, LookUpFindsOnlyFilesAndFoldersWithTheirSizes) {
  Make("a.txt", 1234);
  fs::create_directory(dir_ + "/sub");
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  fs::create_symlink(dir_ + "/a.txt", dir_ + "/link");
  fs::create_symlink(dir_ + "/nowhere", dir_ + "/broken");

  auto file = LookUpPath(dir_ + "/a.txt");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, DiskKind::File);
  EXPECT_EQ(file->size, 1234u);
  auto link = LookUpPath(dir_ + "/link");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->size, 1234u);
  ASSERT_TRUE(LookUpPath(dir_ + "/sub"));
  EXPECT_EQ(LookUpPath(dir_ + "/sub")->kind, DiskKind::Folder);
  const std::string big = Make("big", 0);
  ASSERT_EQ(truncate(big.c_str(), (off_t{5} << 30) + 7), 0);  // sparse
  EXPECT_EQ(LookUpPath(big)->size, (std::uint64_t{5} << 30) + 7) << "sizes are 64-bit";
  for (const std::string& missing : {dir_ + "/fifo", dir_ + "/broken", dir_ + "/none",
                                    std::string("/"), std::string("//"), std::string("/."),
                                    std::string("")}) {
    EXPECT_FALSE(LookUpPath(missing)) << missing;
  }
}

// Looking many paths up in a row finds what LookUpPath finds, path by path,
// in whatever order the folders come (and comes back to).
TEST_F(DiskEntryTest, LookUpsInARowFindWhatEachLookUpFinds) {
  Make("a.txt", 12);
  fs::create_directory(dir_ + "/sub");
  Make("sub/b.txt", 345);
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  fs::create_symlink(dir_ + "/sub", dir_ + "/linked");
  const std::string paths[] = {dir_ + "/a.txt", dir_ + "/sub/b.txt", dir_ + "/linked/b.txt", dir_ + "/a.txt",
                               dir_ + "/fifo",  dir_ + "/none",      dir_ + "/gone/x",       dir_ + "/sub",
                               dir_ + "/sub/",  dir_ + "//a.txt",    "/",                    "",
                               "a.txt",         dir_ + "/sub/b.txt"};
  PathLookUps lookUps;
  for (const std::string& path : paths) {
    const auto one = LookUpPath(path);
    const auto inARow = lookUps(path);
    ASSERT_EQ(inARow.has_value(), one.has_value()) << path;
    if (!one) continue;
    EXPECT_EQ(inARow->kind, one->kind) << path;
    EXPECT_EQ(inARow->size, one->size) << path;
    EXPECT_EQ(inARow->inode, one->inode) << path;
  }
  // Many at once, enough to be shared between two threads: each path's size
  // lands in its own place, whichever thread looked it up. Files of distinct
  // sizes in three folders, every eleventh path one of the above.
  std::vector<std::string> files;
  for (int f = 0; f < 37; ++f) {
    files.push_back(Make((f % 3 == 0 ? "sub/m" : "m") + std::to_string(f), static_cast<std::size_t>(f) + 1));
  }
  std::vector<const std::string*> many;
  for (std::size_t i = 0; i < 5000; ++i) {
    many.push_back(i % 11 == 0 ? &paths[i / 11 % std::size(paths)] : &files[i / 3 % files.size()]);
  }
  const std::vector<std::uint64_t> sizes = LookUpFileSizes(many);
  ASSERT_EQ(sizes.size(), many.size());
  for (std::size_t i = 0; i < many.size(); ++i) {
    const auto one = LookUpPath(*many[i]);
    const std::uint64_t expected = one && one->kind == DiskKind::File ? one->size : NOT_A_FILE;
    ASSERT_EQ(sizes[i], expected) << i << ": " << *many[i];
  }
}

TEST_F(DiskEntryTest, ListingPassesOverSpecialEntriesAndFollowsLinks) {
  Make("a.txt", 1);
  Make(".hidden", 1);
  fs::create_directory(dir_ + "/sub");
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  fs::create_symlink(dir_ + "/sub", dir_ + "/dirlink");
  fs::create_symlink(dir_ + "/a.txt", dir_ + "/filelink");
  fs::create_symlink(dir_ + "/nowhere", dir_ + "/broken");
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sockPath = dir_ + "/sock";
  if (sockPath.size() < sizeof(addr.sun_path)) {
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  }
  close(sock);

  bool ok = false;
  const std::vector<std::string> expected = {".hidden", "a.txt", "dirlink/", "filelink", "sub/"};
  EXPECT_EQ(Listed(dir_, &ok), expected);
  EXPECT_TRUE(ok);
}

// Each file comes with the size a look-up of its path finds, a link with its
// target's; a folder with none.
TEST_F(DiskEntryTest, ListingGivesEachFileTheSizeALookUpFinds) {
  Make("a.txt", 1234);
  Make("empty", 0);
  fs::create_directory(dir_ + "/sub");
  fs::create_symlink(dir_ + "/a.txt", dir_ + "/filelink");
  const std::string big = Make("big", 0);
  ASSERT_EQ(truncate(big.c_str(), (off_t{5} << 30) + 7), 0);  // sparse, past 32 bits
  int listed = 0;
  ASSERT_TRUE(ListFolder(dir_, [&](const ListedEntry& e) {
    ++listed;
    const std::optional<DiskEntry> found = LookUpPath(JoinPath(dir_, e.name));
    EXPECT_TRUE(found) << e.name;
    if (!found || e.kind == DiskKind::Folder) {
      EXPECT_FALSE(e.size) << e.name;
      return true;
    }
    EXPECT_EQ(e.size, std::optional<std::uint64_t>(found->size)) << e.name;
    return true;
  }));
  EXPECT_EQ(listed, 5);
}

TEST_F(DiskEntryTest, ListingFailsForMissingFolderAndStopsOnRequest) {
  bool ok = true;
  EXPECT_TRUE(Listed(dir_ + "/none", &ok).empty());
  EXPECT_FALSE(ok);
  for (int i = 0; i < 5; ++i) Make(std::string("f").append(std::to_string(i)), 0);
  int visits = 0;
  EXPECT_TRUE(ListFolder(dir_, [&](const ListedEntry&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);
}

TEST(DiskPaths, JoinAndTitle) {
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");
  struct Case {
    const char* path;
    const char* title;
  };
  const Case cases[] = {{"/data/Photos", "Photos"}, {"/data/Photos/", "Photos"},
                        {"a.txt", "a.txt"},         {"/a.tar.gz", "a.tar.gz"},
                        {"/", "/"},                 {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(PathTitle(c.path), c.title) << c.path;
}

}  // namespace
