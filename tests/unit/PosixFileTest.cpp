// The shared POSIX file unit: write-all through short writes, a file written
// whole next to a name as long as a Linux name may be, and base names.
#include "common/PosixFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

class PosixFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "posixfileXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::string dir;
};

TEST_F(PosixFileTest, WriteAllGoesOnAfterShortWritesIntoAPipe) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  OwnedFd reader(ends[0]);
  OwnedFd writer(ends[1]);
  const std::string data(1 << 20, 'p');  // far more than a pipe holds: short writes
  std::string got;
  std::thread drain([&] {
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(reader.Get(), chunk, sizeof chunk)) > 0) got.append(chunk, static_cast<std::size_t>(n));
  });
  EXPECT_EQ(WriteAll(writer.Get(), data.data(), data.size()), 0);
  EXPECT_EQ(writer.Close(), 0);
  drain.join();
  EXPECT_EQ(got, data);
  EXPECT_EQ(WriteAll(writer.Get(), "x", 1), EBADF) << "a failure is its errno";
}

TEST_F(PosixFileTest, WriteWholeReplacesKeepsTheModeAndLeavesNoTemporaryFile) {
  const std::string path = dir + "/target";
  ASSERT_TRUE(WriteWhole(path, "first, longer content"));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteWhole(path, "second"));
  EXPECT_EQ(Read(path), "second");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// The calls WriteWhole makes to be durable, recorded in order: what each sync
// was given (the temporary file or a folder) and the rename.
std::vector<std::string> g_durableCalls;

int RecordedSync(int fd) {
  struct stat st {};
  ::fstat(fd, &st);
  g_durableCalls.push_back(S_ISDIR(st.st_mode) ? "sync folder" : "sync file");
  return ::fsync(fd);
}

int RecordedRename(const char* from, const char* to) {
  g_durableCalls.push_back("rename");
  return ::rename(from, to);
}

TEST_F(PosixFileTest, WriteWholeSyncsTheFileBeforeTheRenameAndTheFolderAfterIt) {
  const DurableCalls recorded{RecordedSync, RecordedRename};
  for (const std::string& path : {dir + "/new", dir + "/new"}) {  // made, then replaced
    g_durableCalls.clear();
    ASSERT_TRUE(WriteWhole(path, "content", nullptr, recorded));
    EXPECT_EQ(g_durableCalls, (std::vector<std::string>{"sync file", "rename", "sync folder"}));
  }
  EXPECT_EQ(Read(dir + "/new"), "content");
}

TEST_F(PosixFileTest, ANewFileAndALinkToAnythingButARegularFileGetTheModeOfTheUmask) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t fresh = 0666 & ~mask;
  // A FIFO with a mode no new file can get, and a device (/dev/null: 0666).
  // (That an existing regular file keeps its own mode is tested above.)
  const std::string fifo = dir + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(fifo.c_str(), 0751), 0);
  fs::create_symlink(fifo, dir + "/to-fifo");
  fs::create_symlink("/dev/null", dir + "/to-device");
  for (const std::string& path : {dir + "/none", dir + "/to-fifo", dir + "/to-device"}) {
    ASSERT_TRUE(WriteWhole(path, "new")) << path;
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0) << path;
    EXPECT_TRUE(S_ISREG(st.st_mode)) << path;
    EXPECT_EQ(st.st_mode & 07777, fresh) << path;
  }
  EXPECT_EQ(::access(fifo.c_str(), F_OK), 0) << "what a link pointed to is left alone";
}

TEST_F(PosixFileTest, ANameOfTheLongestLengthStillGetsItsTemporaryFile) {
  const std::string path = dir + "/" + std::string(255, 'n');
  ASSERT_TRUE(WriteWhole(path, "long"));
  EXPECT_EQ(Read(path), "long");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PosixFileTest, AFailureNamesItsStepAndLeavesTheOldFile) {
  WholeWriteError failure;
  EXPECT_FALSE(WriteWhole(dir + "/missing/target", "x", &failure));
  EXPECT_EQ(failure.step, "create");
  EXPECT_EQ(failure.error, ENOENT);

  const std::string folder = dir + "/folder";
  fs::create_directory(folder);
  fs::create_directory(folder + "/sub");
  std::ofstream(folder + "/sub/inside") << "keep";
  EXPECT_FALSE(WriteWhole(folder + "/sub", "x", &failure)) << "a folder is not replaced by a file";
  EXPECT_EQ(failure.step, "replace");
  EXPECT_EQ(Read(folder + "/sub/inside"), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "the temporary file is removed";
}

TEST_F(PosixFileTest, BaseNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"/a/b/c.bin", "c.bin"}, {"c.bin", "c.bin"}, {"/a/b/", "b"}, {"/a//", "a"},
      {"/", ""},               {"", ""},           {"a\\b", "a\\b"},
  };
  for (const auto& [path, base] : cases) EXPECT_EQ(BaseName(path), base) << path;
}

TEST_F(PosixFileTest, AnOwnedDescriptorClosesOnceWhenItGoes) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  {
    OwnedFd owned(fd);
    OwnedFd moved(std::move(owned));
    EXPECT_FALSE(owned.Valid());
    EXPECT_EQ(moved.Get(), fd);
  }
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
