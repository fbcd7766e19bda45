// The program as a user starts it: without brenvox.exe in the start-up
// directory it says so, shows no window, writes no gui.ini and exits with
// status 0; with the tool it shows the main window, closes on Escape and
// writes gui.ini.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "GuiFixture.h"
#include "MessageExpect.h"
#include "ScreenGrab.h"
#include "app/WholeFile.h"

namespace {

constexpr const char* MSG_TOOL_MISSING =
    "Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.";

// Polls until the child has ended; its wait status, or -1 when time is up.
int WaitForExit(pid_t pid, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

// Starts the built program in dir; -1 when BRENVOX_GUI is not set.
pid_t StartProgram(const std::string& dir) {
  const char* program = std::getenv("BRENVOX_GUI");
  if (!program) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(111);
    ::execl(program, program, static_cast<char*>(nullptr));
    ::_exit(112);
  }
  return pid;
}

// Waits for the end of the program; kills it when it does not end in time.
int EndOfProgram(pid_t pid) {
  int status = WaitForExit(pid, 30000);
  if (status == -1) {
    ::kill(pid, SIGKILL);
    WaitForExit(pid, 5000);
    ADD_FAILURE() << "the program did not end";
  }
  return status;
}

}  // namespace

TEST(MissingTool, TheWindowSaysSoAndDoesNotInitialise) {
  const std::string dir = MakeTempDir();
  bool initialised = true;
  {
    auto* window = new MainDialog(nullptr, dir, std::make_unique<ScriptedChooser>());
    wxTEST_DIALOG(initialised = window->Initialize(), ExpectMessage(MSG_TOOL_MISSING));
    EXPECT_FALSE(window->IsShown());
    DestroyAndWait(window);
  }
  EXPECT_FALSE(initialised);
  EXPECT_FALSE(std::filesystem::exists(dir + "/gui.ini"));
  RemoveTree(dir);
}

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("BRENVOX_GUI")) GTEST_SKIP() << "BRENVOX_GUI names the built program (set by ctest)";
    dir = MakeTempDir();
  }
  void TearDown() override {
    if (!dir.empty()) RemoveTree(dir);
  }
  // Waits for the program's window, focuses it and presses a key in it.
  bool PressKeyIn(const std::string& title, int key) {
    unsigned long window = 0;
    if (!WaitForCondition([&] { return (window = FindVisibleWindow(title)) != 0; }, 30000)) {
      return false;
    }
    FocusWindow(window);
    wxUIActionSimulator().Char(key);
    return true;
  }
  std::string dir;
};

TEST_F(ProgramRun, WithoutTheToolItSaysSoAndExitsWithStatusZero) {
  // The built program has brenvox.exe beside it; the start-up directory has none.
  const pid_t pid = StartProgram(dir);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(FindVisibleWindow("Kestrin brenvox GUI v1.5"), 0u) << "the main window must not show";
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "the message box did not appear";
  EXPECT_EQ(FindVisibleWindow("Kestrin brenvox GUI v1.5"), 0u) << "the main window must not show";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(dir + "/gui.ini"));
}

TEST_F(ProgramRun, EscapeEndsTheProgramWhichWritesItsSettings) {
  WriteWholeFile(dir + "/brenvox.exe", "#!/bin/sh\nexit 0\n");
  WriteWholeFile(dir + "/gui.ini", "/discs/kept\n0 1 0");
  const pid_t pid = StartProgram(dir);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string ini;
  ASSERT_TRUE(ReadFileWhole(dir + "/gui.ini", ini));
  EXPECT_EQ(ini, "/discs/kept\n0 1 0");
}

namespace {

// Ends the program with `sig`; its wait status.
int EndWithSignal(pid_t pid, int sig) {
  ::kill(pid, sig);
  return EndOfProgram(pid);
}

}  // namespace

TEST_F(ProgramRun, TermIntAndHupCloseTheProgramAsExitDoes) {
  WriteWholeFile(dir + "/brenvox.exe", "#!/bin/sh\nexit 0\n");
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    std::filesystem::remove(dir + "/gui.ini");
    const pid_t pid = StartProgram(dir);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForCondition([&] { return FindVisibleWindow("Kestrin brenvox GUI v1.5") != 0; }, 30000));
    const int status = EndWithSignal(pid, sig);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << sig << ": status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::exists(dir + "/gui.ini")) << "signal " << sig << ": no gui.ini";
  }
}

TEST_F(ProgramRun, ASignalWhileADialogIsOpenStillEndsTheProgram) {
  WriteWholeFile(dir + "/brenvox.exe", "#!/bin/sh\nexit 0\n");
  const pid_t pid = StartProgram(dir);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_F1));
  ASSERT_TRUE(WaitForCondition([&] { return FindVisibleWindow("About brenvoxgui") != 0; }, 30000));
  const int status = EndWithSignal(pid, SIGTERM);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(std::filesystem::exists(dir + "/gui.ini"));
}
