// How a run opens and looks up its inputs: for every kind of path the file a
// plain open of it opens, and the facts a plain look-up finds, or its failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "ToolTestSupport.h"
#include "tool/ImageTree.h"
#include "tool/InputRing.h"

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

// A run's look-up (files opened ahead in batches where the system has a ring
// for it) finds of every file what a plain look-up finds, failures included,
// over batches of folders, folders given as files, missing files and a FIFO.
TEST(ToolInputOpener, BatchedLookUpFindsWhatAPlainOneFinds) {
  ScratchDir dir;
  std::vector<LayoutEntry> entries;
  for (int i = 0; i < 600; ++i) {
    const std::string folder = i % 7 == 0 ? "b/" : "a/";
    std::string path = dir / (folder + "f" + std::to_string(i));
    if (i % 97 == 5) path = dir / "a";                 // a folder
    else if (i % 101 == 7) path = dir / "missing";
    else dir.MakeFile(folder + "f" + std::to_string(i), std::string(static_cast<std::size_t>(i * 13 % 3000), 'x'));
    if (i % 50 == 0) entries.push_back({EntryKind::Folder, "SUB"});
    entries.push_back({i % 3 ? EntryKind::Form1File : EntryKind::Form2File, path});
  }
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  entries.push_back({EntryKind::Form1File, dir / "fifo"});
  const bool ring = InputRing::Create(8) != nullptr;
  const InputLookUp batched = KeepingInputsOpen(entries);
  for (const LayoutEntry& entry : entries) {
    if (entry.kind == EntryKind::Folder) continue;
    InputFile plain, found;
    const Status expected = LookUpInputOnDisk(entry.value, plain);
    const Status got = batched(entry.value, found);
    ASSERT_EQ(got.has_value(), expected.has_value()) << entry.value;
    if (got) {
      EXPECT_EQ(got->message, expected->message);
      EXPECT_EQ(got->code, expected->code);
      continue;
    }
    EXPECT_TRUE(found.source.Valid()) << entry.value;
    EXPECT_EQ(found.size, plain.size) << entry.value;
    EXPECT_EQ(found.modified, plain.modified) << entry.value;
    EXPECT_EQ(found.device, plain.device) << entry.value;
    EXPECT_EQ(found.inode, plain.inode) << entry.value;
  }
  if (!ring) GTEST_SKIP() << "no io_uring here: only the file-by-file look-up was compared";
}
