// The program as a process of its own: without the tool, on a signal, with a
// run's console, and installed (BRENVOX_INSTALLED_GUI, set by ctest).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "GuiFixture.h"
#include "ScreenGrab.h"
#include "common/WholeFile.h"

namespace {

constexpr const char* TOOL_MISSING_TEXT =
    "Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.";

// Starts program in dir with args and env set; -1 when program is empty.
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

// The program exits with status 0 (killed when it does not end in time).
void ExpectExitZero(pid_t pid) {
  int status = -1;
  if (!WaitForCondition([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 30000)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << "the program did not end";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

TEST(MissingTool, TheWindowSaysSoAndDoesNotInitialise) {
  const TempFolder dir;
  bool initialised = true;
  {
    auto* window = new MainDialog(nullptr, dir.Path(), std::make_unique<ScriptedChooser>());
    wxTEST_DIALOG(initialised = window->Initialize(), ExpectMessage(TOOL_MISSING_TEXT));
    EXPECT_FALSE(window->IsShown());
    DestroyAndWait(window);
  }
  EXPECT_FALSE(initialised);
  EXPECT_FALSE(std::filesystem::exists(dir / "gui.ini"));
}

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("BRENVOX_GUI")) GTEST_SKIP() << "BRENVOX_GUI names the built program (set by ctest)";
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
  const TempFolder folder;
  const std::string dir = folder.Path();
};

// Its boxes take the executable's own name: here a copy renamed mygui, alone
// in its folder, with no brenvox.exe in the start-up directory either.
TEST_F(ProgramRun, WithoutTheToolItSaysSoAndExitsWithStatusZeroIntAndHupCloseItAsExitDoes) {
  const pid_t pid = StartProgram(CopyOfProgram(dir + "/alone", "mygui"), dir);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("mygui", WXK_RETURN)) << "no message box captioned mygui";
  EXPECT_EQ(FindVisibleWindow("Kestrin brenvox GUI v1.5"), 0u) << "the main window must not show";
  ExpectExitZero(pid);
  EXPECT_FALSE(std::filesystem::exists(dir + "/gui.ini"));

  // INT and HUP close it as Exit does (TERM with the About box open: below;
  // during a run: ImageRunTest).
  WriteWholeFile(dir + "/brenvox.exe", "#!/bin/sh\nexit 0\n");
  const std::string program = CopyOfProgram(dir);
  for (const int sig : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(sig);
    std::filesystem::remove(dir + "/gui.ini");
    const pid_t pid = StartProgram(program, dir);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForCondition([&] { return FindVisibleWindow("Kestrin brenvox GUI v1.5") != 0; }, 30000));
    ::kill(pid, sig);
    ExpectExitZero(pid);
    EXPECT_TRUE(std::filesystem::exists(dir + "/gui.ini")) << "no gui.ini";
  }
}
// The main window runs modally for the program's whole life; the console of
// View Prompt must still take the close box once the run is answered. Then
// SIGTERM with the About box open closes the program as Exit does.
TEST_F(ProgramRun, AfterImageCreatedTheConsoleClosesWithItsCloseBoxAndTermClosesTheProgram) {
  // The tool beside the program, the settings per user (View Prompt on).
  const std::map<std::string, std::string> env = {{"HOME", dir}, {"XDG_CONFIG_HOME", dir + "/config"}};
  const std::string ini = dir + "/config/brenvoxgui/gui.ini";
  std::filesystem::create_directories(dir + "/config/brenvoxgui");
  WriteWholeFile(ini, dir + "/disc\n5 0 0");
  WriteWholeFile(dir + "/a.txt", "form 1 content");
  WriteWholeFile(dir + "/disc.kbv", "-o \"" + dir + "/disc\" -f \"" + dir + "/a.txt\"");
  std::filesystem::create_directory(dir + "/cwd");
  const pid_t pid = StartProgram(Environment("BRENVOX_GUI"), dir + "/cwd", {dir + "/disc.kbv"}, env);
  ASSERT_GT(pid, 0);
  unsigned long window = 0;
  ASSERT_TRUE(WaitForCondition([&] { return (window = FindVisibleWindow("Kestrin brenvox GUI v1.5")) != 0; }, 30000));
  // A click on Write ISO: 36,218 dialog units and 50 x 17 in a window 340
  // units wide (main.xrc); a vertical unit is 17/16 of a horizontal one (the
  // font's base units are 8 x 17 pixels).
  const wxRect main = WindowScreenRect(window);
  wxUIActionSimulator sim;
  // Clicked until the console shows: the layout named may load after the window shows.
  unsigned long console = 0;
  for (int click = 0; click < 10 && !console; ++click) {
    sim.MouseMove(main.x + main.width * 61 / 340, main.y + main.width * 226 * 17 / (340 * 16));
    sim.MouseClick();
    WaitForCondition([&] { return (console = FindVisibleWindow("brenvox.exe")) != 0; }, 2000);
  }
  ASSERT_NE(console, 0u) << "Write ISO did not start the tool";
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "the end of the run was not reported";
  RequestClose(console);
  EXPECT_TRUE(WaitForCondition([] { return FindVisibleWindow("brenvox.exe") == 0; }, 5000))
      << "the console did not close";
  ASSERT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_F1));
  ASSERT_TRUE(WaitForCondition([&] { return FindVisibleWindow("About brenvoxgui") != 0; }, 30000));
  ::kill(pid, SIGTERM);
  ExpectExitZero(pid);
  EXPECT_TRUE(std::filesystem::exists(dir + "/disc.cue"));
  std::string content;
  EXPECT_TRUE(ReadFileWhole(ini, content) && content == dir + "/disc\n1 0 0") << "gui.ini not written: " << content;
}

// The installed program, started the way the desktop starts it: the current
// directory without the tool, $HOME and $XDG_CONFIG_HOME of their own.
class InstalledProgram : public ProgramRun {
 protected:
  void SetUp() override {
    program = Environment("BRENVOX_INSTALLED_GUI");
    if (program.empty()) GTEST_SKIP() << "BRENVOX_INSTALLED_GUI names the installed program (set by ctest)";
    for (const char* sub : {"/cwd", "/home", "/out"}) std::filesystem::create_directory(dir + sub);
    env = {{"HOME", dir + "/home"}, {"XDG_CONFIG_HOME", dir + "/config"}};
  }
  std::string program;
  std::map<std::string, std::string> env;
};

// The second start opens the layout file named on its command line: its
// missing file is reported as Load does, its -x and -s tick the boxes, and
// gui.ini keeps its own target and View Prompt (-o never reaches gui.ini).
TEST_F(InstalledProgram, FindsTheToolBesideItKeepsItsSettingsPerUserAndOpensTheLayoutFileNamed) {
  const std::string ini = dir + "/config/brenvoxgui/gui.ini";
  // Some other brenvox.exe in the current folder does not take its place.
  WriteWholeFile(dir + "/cwd/brenvox.exe", "#!/bin/sh\nexit 0\n");
  const pid_t first = StartProgram(program, dir + "/cwd", {}, env);
  ASSERT_GT(first, 0);
  EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear: no tool";
  ExpectExitZero(first);
  std::string content;
  ASSERT_TRUE(ReadFileWhole(ini, content)) << "no gui.ini in the per-user folder, made when needed";
  EXPECT_EQ(content, dir + "/home/image\n0 0 0") << "the default target is in $HOME";
  EXPECT_FALSE(std::filesystem::exists(dir + "/cwd/gui.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/home/gui.ini"));

  WriteWholeFile(ini, "/discs/kept\n1 0 0");
  WriteWholeFile(dir + "/a.txt", "form 1 content");
  WriteWholeFile(dir + "/disc one.kbv", "-o \"" + dir + "/out/disc\" -x -s -f \"" + dir + "/a.txt\" -d \"SUB\" -m \"" +
                                            dir + "/gone.mpg\"");
  const pid_t pid = StartProgram(program, dir + "/cwd", {dir + "/disc one.kbv"}, env);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(PressKeyIn("brenvoxgui", WXK_RETURN)) << "\"Cannot find\" for gone.mpg did not appear";
  EXPECT_TRUE(PressKeyIn("Kestrin brenvox GUI v1.5", WXK_ESCAPE)) << "the main window did not appear";
  ExpectExitZero(pid);
  ASSERT_TRUE(ReadFileWhole(ini, content));
  EXPECT_EQ(content, "/discs/kept\n1 1 1");
}
