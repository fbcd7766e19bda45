// Without brenvox.exe in the start-up directory the program says so, shows
// no window, writes no gui.ini and exits with status 0.
#include <sys/wait.h>
#include <unistd.h>

#include <wx/textctrl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "GuiFixture.h"
#include "MessageExpect.h"

namespace {

constexpr const char* MSG_TOOL_MISSING =
    "Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.";

std::string RunCommand(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return out;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
  return out;
}

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

std::string VisibleWindow(const std::string& titlePattern) {
  std::string ids = RunCommand("xdotool search --onlyvisible --name '" + titlePattern + "' 2>/dev/null");
  return ids.substr(0, ids.find('\n'));
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

TEST(MissingTool, TheProgramExitsWithStatusZero) {
  const char* program = std::getenv("BRENVOX_GUI");
  if (!program) GTEST_SKIP() << "BRENVOX_GUI names the built program (set by ctest)";
  if (RunCommand("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is needed to answer the box";
  // The built program has brenvox.exe beside it; the start-up directory has none.
  const std::string dir = MakeTempDir();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(111);
    ::execl(program, program, static_cast<char*>(nullptr));
    ::_exit(112);
  }
  std::string box;
  const bool shown = WaitForCondition(
      [&] { return !(box = VisibleWindow("^brenvoxgui$")).empty(); }, 30000);
  EXPECT_TRUE(shown) << "the message box did not appear";
  EXPECT_EQ(VisibleWindow("Kestrin brenvox GUI"), "") << "the main window must not show";
  if (shown) RunCommand("xdotool windowfocus --sync " + box + " key Return");
  int status = WaitForExit(pid, 30000);
  if (status == -1) {
    ::kill(pid, SIGKILL);
    status = WaitForExit(pid, 5000);
    FAIL() << "the program did not end after its message";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(dir + "/gui.ini"));
  RemoveTree(dir);
}
