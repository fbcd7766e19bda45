// Starting the tool: an argument file when the entries pass the system's
// argument limit, the system's reason when a start fails, and a child that
// ends with the process that started it.
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

TEST_F(ToolStartTest, EntriesThatFitGoAsArgumentsTheOthersThroughAPrivateFile) {
  // The tool records its arguments and copies the argument file with its mode.
  WriteScript("tool", "#!/bin/sh\nd=\"$(dirname \"$0\")\"\nprintf '%s\\n' \"$@\" > \"$d/args\"\n"
                      "case \"$1\" in @*) cp \"${1#@}\" \"$d/copy\"; stat -c %a \"${1#@}\" > \"$d/mode\";; esac\n");
  const CommandLine shortEntries = {{"-o", true, "/d"}, {"-f", true, "/a b"}};
  StartedTool started = StartTool(dir + "/tool", shortEntries);
  ASSERT_GT(started.pid, 0) << started.error;
  EXPECT_TRUE(started.argumentFile.empty());
  Finish(started);
  EXPECT_EQ(Read(dir + "/args"), "-o\n/d\n-f\n/a b\n");

  const CommandLine entries = LongEntries();
  started = StartTool(dir + "/tool", entries);
  ASSERT_GT(started.pid, 0) << started.error;
  ASSERT_FALSE(started.argumentFile.empty());
  EXPECT_EQ(Finish(started), 0);
  EXPECT_EQ(Read(dir + "/args"), "@" + started.argumentFile + "\n");
  EXPECT_EQ(Read(dir + "/mode"), "600\n");
  const std::string copy = Read(dir + "/copy");
  EXPECT_EQ(copy, RenderStructureFile(entries));
  // Read back with the structure file's tokenizer, every value comes back whole.
  StructureTokenizer tokens(copy);
  EXPECT_EQ(tokens.NextOption(), "o");
  EXPECT_EQ(tokens.NextValue(), "/discs/my disc");
  unlink(started.argumentFile.c_str());
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

TEST_F(ToolStartTest, TheToolEndsWhenTheProcessThatStartedItIsKilled) {
  const std::string pidFile = dir + "/tool.pid";
  // A stand-in for the window: starts the tool, then waits to be killed.
  const pid_t window = fork();
  ASSERT_GE(window, 0);
  if (window == 0) {
    int error = 0;
    const pid_t tool = SpawnBoundChild("/bin/sh", {"-c", "echo $$ > '" + pidFile + ".new'; mv '" + pidFile + ".new' '" +
                                                       pidFile + "'; exec sleep 120"},
                                       STDOUT_FILENO, STDERR_FILENO, &error);
    if (tool < 0) _exit(1);
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
}
