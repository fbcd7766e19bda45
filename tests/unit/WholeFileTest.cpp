// Files written whole: the new content replaces the old at once, a failure
// leaves the old file and no temporary file behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "app/WholeFile.h"

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
