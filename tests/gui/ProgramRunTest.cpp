// The program as a user starts it: without brenvox.exe in the start-up
// directory or beside the program it says so, shows no window, writes no
// gui.ini and exits with status 0; with the tool it shows the main window,
// closes on Escape and writes gui.ini. Installed (BRENVOX_INSTALLED_GUI, set
// by ctest after installing into a prefix) and started from another folder,
// as from the desktop menu, it uses the tool beside it and the per-user
// settings folder, and opens the layout file named on its command line.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <vector>

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

// Starts program in dir with args, the environment changed by env; -1 when
// program is empty.
pid_t StartProgram(const std::string& program, const std::string& dir,
                   const std::vector<std::string>& args = {},
                   const std::map<std::string, std::string>& env = {}) {
  if (program.empty()) return -1;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
    if (::chdir(dir.c_str()) != 0) ::_exit(111);
    ::execv(program.c_str(), argv.data());
    ::_exit(112);
  }
  return pid;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
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
  // A copy of the built program, named name, in folder (made when missing).
  std::string CopyOfProgram(const std::string& folder, const std::string& name = "brenvoxgui") {
    std::filesystem::create_directories(folder);
    const std::string copy = folder + "/" + name;
    std::filesystem::copy_file(Environment("BRENVOX_GUI"), copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    return copy;
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
  // A copy of the program in a folder of its own: no brenvox.exe beside it
  // and none in the start-up directory.
  const pid_t pid = StartProgram(CopyOfProgram(dir + "/alone"), dir);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(FindVisibleWindow("Kestrin brenvox GUI v1.5"), 0u) << "the main window must not show";
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "the message box did not appear";
  EXPECT_EQ(FindVisibleWindow("Kestrin brenvox GUI v1.5"), 0u) << "the main window must not show";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(dir + "/gui.ini"));
}

TEST_F(ProgramRun, ItsBoxesAreCaptionedWithTheExecutablesOwnName) {
  // A copy renamed mygui, alone in a folder: its "tool missing" box.
  const pid_t pid = StartProgram(CopyOfProgram(dir + "/alone", "mygui"), dir);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("mygui", WXK_RETURN)) << "no box captioned mygui";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ProgramRun, EscapeEndsTheProgramWhichWritesItsSettings) {
  WriteWholeFile(dir + "/brenvox.exe", "#!/bin/sh\nexit 0\n");
  WriteWholeFile(dir + "/gui.ini", "/discs/kept\n0 1 0");
  // Started from its own folder, which holds the tool: everything lives there.
  const pid_t pid = StartProgram(CopyOfProgram(dir), dir);
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
  const std::string program = CopyOfProgram(dir);
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    std::filesystem::remove(dir + "/gui.ini");
    const pid_t pid = StartProgram(program, dir);
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
  const pid_t pid = StartProgram(CopyOfProgram(dir), dir);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_F1));
  ASSERT_TRUE(WaitForCondition([&] { return FindVisibleWindow("About brenvoxgui") != 0; }, 30000));
  const int status = EndWithSignal(pid, SIGTERM);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(std::filesystem::exists(dir + "/gui.ini"));
}

// The installed program, started the way the desktop starts it: the current
// directory without the tool, $HOME and $XDG_CONFIG_HOME of their own.
class InstalledProgram : public ProgramRun {
 protected:
  void SetUp() override {
    program = Environment("BRENVOX_INSTALLED_GUI");
    if (program.empty()) GTEST_SKIP() << "BRENVOX_INSTALLED_GUI names the installed program (set by ctest)";
    dir = MakeTempDir();
    for (const char* sub : {"/cwd", "/home", "/out"}) std::filesystem::create_directory(dir + sub);
    env = {{"HOME", dir + "/home"}, {"XDG_CONFIG_HOME", dir + "/config"}};
  }
  // Starts it in dir/cwd, lets the main window appear and ends it with
  // Escape; the exit status is 0.
  void RunAndEscape(const std::vector<std::string>& args = {}) {
    const pid_t pid = StartProgram(program, dir + "/cwd", args, env);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear";
    const int status = EndOfProgram(pid);
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  std::string program;
  std::map<std::string, std::string> env;
};

TEST_F(InstalledProgram, FindsTheToolBesideItAndKeepsItsSettingsPerUser) {
  const std::string ini = dir + "/config/brenvoxgui/gui.ini";
  // Some other brenvox.exe in the current folder does not take its place.
  WriteWholeFile(dir + "/cwd/brenvox.exe", "#!/bin/sh\nexit 0\n");
  RunAndEscape();  // the window shows: the tool was found
  std::string content;
  ASSERT_TRUE(ReadFileWhole(ini, content)) << "no gui.ini in the per-user folder, made when needed";
  EXPECT_EQ(content, dir + "/home/image\n0 0 0") << "the default target is in $HOME";
  EXPECT_FALSE(std::filesystem::exists(dir + "/cwd/gui.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/home/gui.ini"));

  // The next start reads it from there.
  WriteWholeFile(ini, "/discs/kept\n1 0 1");
  RunAndEscape();
  ASSERT_TRUE(ReadFileWhole(ini, content));
  EXPECT_EQ(content, "/discs/kept\n1 0 1");
}

TEST_F(InstalledProgram, StartsWithTheLayoutFileNamedOnItsCommandLine) {
  // The file turns Keep Extension and Single Track on, which the settings
  // written at the end show; its missing file is reported as Load does.
  WriteWholeFile(dir + "/a.txt", "form 1 content");
  WriteWholeFile(dir + "/disc one.kbv", "-o \"" + dir + "/out/disc\" -x -s -f \"" + dir + "/a.txt\" -d \"SUB\" -m \"" +
                                            dir + "/gone.mpg\"");
  const pid_t pid = StartProgram(program, dir + "/cwd", {dir + "/disc one.kbv"}, env);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "\"Cannot find\" for gone.mpg did not appear";
  EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string ini;
  ASSERT_TRUE(ReadFileWhole(dir + "/config/brenvoxgui/gui.ini", ini));
  EXPECT_EQ(ini, dir + "/home/image\n0 1 1") << "the options of the file were not loaded (-o never reaches gui.ini)";
}

TEST_F(InstalledProgram, AnUnreadableLayoutFileGivesLoadsMessageAndStillStarts) {
  const pid_t pid = StartProgram(program, dir + "/cwd", {dir + "/missing.kbv"}, env);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "Load's message did not appear";
  EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear";
  const int status = EndOfProgram(pid);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
