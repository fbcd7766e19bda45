// The run's opener of inputs opens, for every kind of path, the file a plain
// open of that path opens, or fails as it does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "ToolTestSupport.h"
#include "tool/ImageTree.h"

namespace {

// What opening `path` came to: the file's identity, or the errno.
struct Opened {
  dev_t device = 0;
  ino_t inode = 0;
  int error = 0;
  bool operator==(const Opened&) const = default;
};

Opened Outcome(int fd) {
  Opened o;
  if (fd < 0) {
    o.error = errno;
    return o;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0) o.device = st.st_dev, o.inode = st.st_ino;
  ::close(fd);
  return o;
}

}  // namespace

// Absolute and relative paths, "." and "..", a folder reached through a link,
// names of any bytes, folders, missing files and a file taken for a folder:
// each opened three times running (so the opener holds its folder) and all
// of them one after another.
TEST(ToolInputOpener, OpensWhatAPlainOpenOpens) {
  ScratchDir dir;
  dir.MakeFile("a/x", "1");
  dir.MakeFile("a/y", "2");
  dir.MakeFile("a/\x01 odd\xff name", "3");
  dir.MakeDir("a/sub");
  ASSERT_EQ(::symlink("a", (dir / "link").c_str()), 0);
  const std::string rel = std::filesystem::relative(dir.Path(), std::filesystem::current_path()).string();
  std::vector<std::string> paths;
  for (const std::string& base : {dir.Path(), rel}) {
    for (const char* name : {"a/x", "a/y", "a/\x01 odd\xff name", "a/sub", "a/sub/", "a/missing", "a/../a/x",
                             "a/./y", "a/.", "a/..", "link/x", "link/../a/y", "a/x/", "a/x/z", "none/x"})
      paths.push_back(base + "/" + name);
  }
  paths.push_back("/");
  paths.push_back("x-that-is-not-here");

  constexpr int FLAGS = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
  InputOpener opener;
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& path : paths) {
      for (int time = 0; time < (pass == 0 ? 3 : 1); ++time) {
        const Opened expected = Outcome(::open(path.c_str(), FLAGS));
        EXPECT_EQ(Outcome(opener.Open(path, FLAGS)), expected) << path << " (time " << time << ")";
      }
    }
  }
}
