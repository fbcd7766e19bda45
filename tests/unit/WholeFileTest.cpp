// Files written whole: the new content replaces the old at once, a failure
// leaves the old file and no temporary file behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "common/WholeFile.h"

namespace fs = std::filesystem;

class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("brenvox-whole-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::size_t EntriesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
  fs::path dir;
};

TEST_F(WholeFileTest, ReplacesContentAndKeepsTheMode) {
  const std::string path = (dir / "f.txt").string();
  ASSERT_TRUE(WriteFileWhole(path, "first, longer content"));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileWhole(path, std::string("a\0b", 3)));
  std::string content;
  ASSERT_TRUE(ReadFileWhole(path, content));
  EXPECT_EQ(content, std::string("a\0b", 3));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file is left";
}

TEST_F(WholeFileTest, FailureLeavesWhatWasThereAndNoTemporaryFile) {
  // A rename cannot replace a folder that holds a file: the write fails late,
  // after the temporary file was written.
  const fs::path target = dir / "target";
  fs::create_directories(target);
  ASSERT_TRUE(WriteFileWhole((target / "kept").string(), "old"));
  std::string error;
  EXPECT_FALSE(WriteFileWhole(target.string(), "new", &error));
  EXPECT_NE(error.find(target.string()), std::string::npos) << error;
  std::string content;
  ASSERT_TRUE(ReadFileWhole((target / "kept").string(), content));
  EXPECT_EQ(content, "old");
  EXPECT_EQ(EntriesInDir(), 1u) << "the temporary file is removed";
}

TEST_F(WholeFileTest, MissingFolderFailsAndUnreadableFilesAreReported) {
  std::string error;
  EXPECT_FALSE(WriteFileWhole((dir / "no" / "f.txt").string(), "x", &error));
  EXPECT_FALSE(error.empty());
  std::string content = "unchanged";
  EXPECT_FALSE(ReadFileWhole((dir / "missing").string(), content));
  EXPECT_EQ(content, "unchanged");
  EXPECT_FALSE(FileIsReadable((dir / "missing").string()));
  EXPECT_TRUE(WriteFileWhole((dir / "f").string(), ""));
  EXPECT_TRUE(FileIsReadable((dir / "f").string()));
}

TEST_F(WholeFileTest, AFifoIsOpenedWithoutWaitingForAWriter) {
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A watchdog lets an open that waits go on (a writer that comes and goes),
  // so that a wait fails the test instead of hanging it.
  std::promise<void> done;
  auto watchdog = std::async(std::launch::async, [&, finished = done.get_future()] {
    if (finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
    do {  // a writer opens only while a reader waits
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    } while (finished.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
    return false;
  });
  std::string content = "unchanged";
  FileIsReadable(fifo);
  ReadFileWhole(fifo, content);
  done.set_value();
  EXPECT_TRUE(watchdog.get()) << "no open waited for a writer";
  EXPECT_EQ(content, "") << "no writer: nothing to read";
}

TEST_F(WholeFileTest, BoundedReadsTakeNoMoreThanTheirLimit) {
  const std::string path = (dir / "f").string();
  ASSERT_TRUE(WriteFileWhole(path, "0123456789"));
  std::string content = "unchanged";
  EXPECT_TRUE(ReadRegularFile(path, 10, content));
  EXPECT_EQ(content, "0123456789");
  content = "unchanged";
  EXPECT_FALSE(ReadRegularFile(path, 9, content)) << "one byte over the limit";
  EXPECT_EQ(content, "unchanged");
  EXPECT_TRUE(ReadFileHead(path, 4, content));
  EXPECT_EQ(content, "0123");
  EXPECT_TRUE(ReadFileHead(path, 100, content));
  EXPECT_EQ(content, "0123456789");

  // Only a regular file is read whole: not a FIFO (no writer: it reads as
  // empty), a folder, or a device.
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir / "null");
  for (const std::string& other : {fifo, dir.string(), (dir / "null").string()}) {
    content = "unchanged";
    EXPECT_FALSE(ReadRegularFile(other, 1000, content)) << other;
    EXPECT_EQ(content, "unchanged") << other;
  }
  fs::create_symlink(path, dir / "link");
  EXPECT_TRUE(ReadRegularFile((dir / "link").string(), 10, content)) << "a link to a file is the file";
}

TEST_F(WholeFileTest, AWriteThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  fs::create_directories(dir / "real");
  const fs::path target = dir / "real" / "layout.kbv";
  ASSERT_TRUE(WriteFileWhole(target.string(), "old"));
  fs::create_symlink(target, dir / "absolute");
  fs::create_symlink("real/layout.kbv", dir / "relative");
  fs::create_symlink("relative", dir / "chain");
  std::string content;
  for (const char* link : {"absolute", "relative", "chain"}) {
    ASSERT_TRUE(WriteFileWhole((dir / link).string(), link)) << link;
    EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    ASSERT_TRUE(ReadFileWhole(target.string(), content));
    EXPECT_EQ(content, link);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1)
      << "no temporary file left beside the target";

  // A link to nothing makes its target; a link to what is not a regular
  // file, or a loop, is replaced by the file as before.
  fs::create_symlink("made.txt", dir / "dangling");
  EXPECT_TRUE(NameIsTaken((dir / "dangling").string())) << "Save asks before it replaces a link to nothing";
  EXPECT_FALSE(NameIsTaken((dir / "made.txt").string()));
  ASSERT_TRUE(WriteFileWhole((dir / "dangling").string(), "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
  ASSERT_TRUE(ReadFileWhole((dir / "made.txt").string(), content));
  EXPECT_EQ(content, "new");
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, dir / "topipe");
  fs::create_symlink("loop", dir / "loop");
  for (const char* link : {"topipe", "loop"}) {
    ASSERT_TRUE(WriteFileWhole((dir / link).string(), "plain")) << link;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / link))) << link;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(WholeFileTest, ANameOfTheLongestLengthCanBeWritten) {
  // 255 bytes, the most a name may hold: the temporary name must be shorter.
  const std::string name = std::string(251, 'n') + ".bat";
  ASSERT_TRUE(WriteFileWhole((dir / name).string(), "x"));
  fs::create_symlink(name, dir / std::string(255, 'l'));
  ASSERT_TRUE(WriteFileWhole((dir / std::string(255, 'l')).string(), "through the link"));
  std::string content;
  ASSERT_TRUE(ReadFileWhole((dir / name).string(), content));
  EXPECT_EQ(content, "through the link");
}
