// Starting the tool: an argument file with no name on disk when the entries
// pass the system's argument limit, no other descriptor of the window's, the
// system's reason when a start fails, and a child that ends with the process
// that started it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/StructureFile.h"
#include "image/ToolStart.h"

namespace fs = std::filesystem;

namespace {

class ToolStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = (fs::temp_directory_path() / ("brenvox-start-" + std::to_string(::getpid()))).string();
    fs::remove_all(dir);
    fs::create_directories(dir + "/tmp");
    const char* old = std::getenv("TMPDIR");
    if (old) oldTmpdir = old;
    setenv("TMPDIR", (dir + "/tmp").c_str(), 1);  // where argument files go
  }
  void TearDown() override {
    if (oldTmpdir.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", oldTmpdir.c_str(), 1);
    fs::remove_all(dir);
  }
  void WriteScript(const std::string& name, const std::string& text, fs::perms perms = fs::perms::owner_all) {
    std::ofstream(dir + "/" + name) << text;
    fs::permissions(dir + "/" + name, perms);
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // Waits for the end of a started tool and closes its pipes.
  int Finish(const StartedTool& started) {
    int status = -1;
    waitpid(started.pid, &status, 0);
    close(started.outFd);
    close(started.errFd);
    return status;
  }
  std::size_t TemporaryFiles() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir + "/tmp"), fs::directory_iterator()));
  }

  std::string dir, oldTmpdir;
};

// More bytes of entries than any argument list holds (3 MB).
CommandLine LongEntries(const std::string& oddValue = "") {
  CommandLine entries = {{"-o", true, "/discs/my disc"}, {"-x", false, ""}, {"-isolevel2", false, ""}};
  for (int i = 0; i < 30000; ++i)
    entries.push_back({i % 2 ? "-m" : "-f", true, "/data/folder - " + std::string(80, 'p') + std::to_string(i)});
  entries.push_back({"-d", true, "VIDEO\\SUB"});
  if (!oddValue.empty()) entries.push_back({"-f", true, oddValue});
  return entries;
}

}  // namespace

TEST_F(ToolStartTest, EntriesThatFitGoAsArgumentsTheOthersThroughAFileWithNoName) {
  // The tool records its arguments, what the temporary folder holds while it
  // runs, whether it got a descriptor of the window's, and copies the argument file.
  WriteScript("tool", "#!/bin/sh\nd=\"$(dirname \"$0\")\"\nprintf '%s\\n' \"$@\" > \"$d/args\"\n"
                      "ls -A \"$TMPDIR\" > \"$d/tmpdir\"; [ -e /dev/fd/50 ] && echo leaked > \"$d/leak\"\n"
                      "case \"$1\" in @*) cp \"${1#@}\" \"$d/copy\";; esac\n");
  // A descriptor of the window's that is not close-on-exec (as a library may leave one).
  ASSERT_EQ(dup2(open("/dev/null", O_RDONLY), 50), 50);
  const CommandLine shortEntries = {{"-o", true, "/d"}, {"-f", true, "/a b"}};
  StartedTool started = StartTool(dir + "/tool", shortEntries);
  ASSERT_GT(started.pid, 0) << started.error;
  EXPECT_TRUE(started.argumentFile.empty());
  Finish(started);
  EXPECT_EQ(Read(dir + "/args"), "-o\n/d\n-f\n/a b\n");

  const CommandLine entries = LongEntries();
  started = StartTool(dir + "/tool", entries);
  ASSERT_GT(started.pid, 0) << started.error;
  ASSERT_EQ(started.argumentFile.rfind("/dev/fd/", 0), 0u) << started.argumentFile;
  EXPECT_EQ(Finish(started), 0);
  close(50);
  EXPECT_EQ(Read(dir + "/args"), "@" + started.argumentFile + "\n");
  EXPECT_EQ(Read(dir + "/tmpdir"), "") << "the argument file has a name on disk";
  EXPECT_FALSE(fs::exists(dir + "/leak")) << "a descriptor of the window reached the tool";
  const std::string copy = Read(dir + "/copy");
  EXPECT_EQ(copy, RenderStructureFile(entries));
  // Read back with the structure file's tokenizer, every value comes back whole.
  StructureTokenizer tokens(copy);
  EXPECT_EQ(tokens.NextOption(), "o");
  EXPECT_EQ(tokens.NextValue(), "/discs/my disc");
}

TEST_F(ToolStartTest, AFailedStartSaysWhyAndLeavesNoFile) {
  WriteScript("noexec", "#!/bin/sh\nexit 0\n", fs::perms::owner_read | fs::perms::owner_write);
  WriteScript("badinterp", "#!/no/such/shell\nexit 0\n");
  WriteScript("tool", "#!/bin/sh\nexit 0\n");
  const struct {
    std::string program;
    CommandLine entries;
    std::string reason;
  } cases[] = {
      {dir + "/noexec", {{"-o", true, "x"}}, "Permission denied"},
      {dir + "/badinterp", {{"-o", true, "x"}}, "No such file or directory"},
      {dir + "/badinterp", LongEntries(), "No such file or directory"},
      // An argument file cannot hold a value with a double quote.
      {dir + "/tool", LongEntries("/data/say \"hi\".txt"), "Argument list too long, and a path or name holds a double quote"},
  };
  for (const auto& c : cases) {
    const StartedTool started = StartTool(c.program, c.entries);
    EXPECT_EQ(started.pid, -1) << c.program;
    EXPECT_NE(started.error.find(c.reason), std::string::npos) << c.program << ": " << started.error;
    EXPECT_EQ(TemporaryFiles(), 0u) << c.program;
  }
}

TEST_F(ToolStartTest, TheToolEndsWhenTheProcessThatStartedItIsKilledAndLeavesNoFile) {
  const std::string pidFile = dir + "/tool.pid";
  WriteScript("tool", "#!/bin/sh\necho $$ > '" + pidFile + ".new'; mv '" + pidFile + ".new' '" + pidFile +
                          "'; exec sleep 120\n");
  // A stand-in for the window: starts the tool with entries that need an
  // argument file, then waits to be killed.
  const pid_t window = fork();
  ASSERT_GE(window, 0);
  if (window == 0) {
    if (StartTool(dir + "/tool", LongEntries()).pid < 0) _exit(1);
    for (;;) pause();
  }
  pid_t tool = -1;
  for (int i = 0; i < 500 && tool < 0; ++i) {
    std::ifstream in(pidFile);
    if (!(in >> tool)) tool = -1, std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_GT(tool, 0) << "the tool did not start";
  ASSERT_EQ(kill(tool, 0), 0);
  kill(window, SIGKILL);
  int status = 0;
  waitpid(window, &status, 0);
  // Gone, or a zombie waiting for whoever adopted it.
  auto gone = [&] {
    std::ifstream stat("/proc/" + std::to_string(tool) + "/stat");
    std::string pid, name, state;
    return !(stat >> pid >> name >> state) || state == "Z" || state == "X";
  };
  for (int i = 0; i < 500 && !gone(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(gone()) << "the tool outlived the window";
  if (!gone()) kill(tool, SIGKILL);
  EXPECT_EQ(TemporaryFiles(), 0u) << "an argument file was left behind";
}

namespace {

// The tool's output is read once per poll of the window: a pipe that is
// never empty gives at most a bound's worth, and its end closes it.
TEST(ToolOutputRead, APipeThatIsNeverEmptyGivesABoundsWorthAndItsEndClosesIt) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
  const std::string block(4096, 'y');
  std::size_t written = 0;
  while (::write(fds[1], block.data(), block.size()) > 0) written += block.size();  // full
  int fd = fds[0];
  EXPECT_EQ(ReadAvailable(fd, 10000, 4096).size(), 12288u) << "stops at the first chunk past the bound";
  EXPECT_EQ(ReadAvailable(fd, written, 4096).size(), written - 12288) << "and reads on at the next poll";
  EXPECT_EQ(ReadAvailable(fd, written, 4096), "") << "nothing there: back at once";
  EXPECT_EQ(fd, fds[0]);
  ::close(fds[1]);
  EXPECT_EQ(ReadAvailable(fd, written, 4096), "");
  EXPECT_EQ(fd, -1) << "closed once the writer has gone";
}

}  // namespace
