#include "GuiFixture.h"

#include "common/WholeFile.h"
#include "image/window/ToolProcess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The next scripted answer into out; false for Cancel or when none is left.
template <class T>
bool NextAnswer(std::deque<std::optional<T>>& answers, const char* chooser, T& out) {
  if (answers.empty()) {
    ADD_FAILURE() << "the " << chooser << " was opened with no scripted answer";
    return false;
  }
  std::optional<T> answer = std::move(answers.front());
  answers.pop_front();
  if (answer) out = std::move(*answer);
  return answer.has_value();
}

}  // namespace

bool ScriptedChooser::ChooseFiles(const FileDialogRequest& request,
                                  std::vector<std::string>& paths) {
  requests.push_back(request);
  return NextAnswer(fileAnswers, "file dialog", paths);
}

bool ScriptedChooser::ChooseFolder(std::string& path) {
  ++folderRequests;
  return NextAnswer(folderAnswers, "folder browser", path);
}

std::string CommandOutput(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[4096];
  std::size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  *status = ::pclose(pipe);
  return out;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  ASSERT_TRUE(WriteFileWhole(path, content)) << "cannot write " << path;
}

void PumpEventLoop() {
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  for (int round = 0; round < 100; ++round) {
    if (loop) loop->Yield(true);
    wxTheApp->ProcessPendingEvents();
    if (!wxTheApp->ProcessIdle() && !wxTheApp->HasPendingEvents()) break;
  }
}

bool WaitForCondition(const std::function<bool()>& cond, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!cond()) {
    if (std::chrono::steady_clock::now() >= deadline) return cond();
    PumpEventLoop();
    wxMilliSleep(5);  // between polls only: the condition decides, not the time
  }
  return true;
}

void MainWindowTest::SetUp() {
  WriteTool("#!/bin/sh\nexit 0\n");
  PrepareStartupDir();
  m_previousDir = fs::current_path().string();
  ASSERT_EQ(::chdir(startupDir.c_str()), 0);
  chooser = new ScriptedChooser;
  dlg = new MainDialog(nullptr, startupDir, std::unique_ptr<FileChooser>(chooser));
  ASSERT_TRUE(dlg->Initialize()) << "the main window did not initialise";
  dlg->Show();
  PumpEvents();
  Tree().SetMenuPresenter([](wxMenu&) { ADD_FAILURE() << "a context menu opened that no test presents"; });
}

void MainWindowTest::DestroyWindow() {
  if (!dlg) return;
  chooser = nullptr;
  DestroyAndWait(std::exchange(dlg, nullptr));
}

void DestroyAndWait(wxWindow* window) {
  window->Destroy();
  EXPECT_TRUE(WaitForCondition(
      [window] { return !wxTheApp->IsScheduledForDestruction(window); }, 5000))
      << "the window was not deleted";
}

void MainWindowTest::TearDown() {
  DestroyWindow();
  if (!m_previousDir.empty()) (void)::chdir(m_previousDir.c_str());
}

wxWindow* MainWindowTest::Root() const { return dlg; }

std::string GuiTest::MakeFile(const std::string& relPath, const std::string& content) {
  const fs::path path = fs::path(startupDir) / "data" / relPath;
  fs::create_directories(path.parent_path());
  WriteWholeFile(path.string(), content);
  return path.string();
}

void MainWindowTest::WriteTool(const std::string& script) {
  const std::string path = startupDir + "/brenvox.exe";
  WriteWholeFile(path, script);
  ::chmod(path.c_str(), 0755);
}

std::string RealToolPath() {
  const char* tool = std::getenv("BRENVOX_TOOL");
  return tool ? tool : BRENVOX_TOOL_DEFAULT;
}

void MainWindowTest::UseRealTool() {
  fs::copy_file(RealToolPath(), startupDir + "/brenvox.exe", fs::copy_options::overwrite_existing);
}

// Bound last, this handler is the first to get the window's ticks, and keeps them.
void MainWindowTest::DriveTicks() { dlg->Bind(wxEVT_TIMER, [](wxTimerEvent&) {}, RUN_TIMER_ID); }

bool MainWindowTest::RunEnded(int timeoutMs) {
  return WaitFor([&] { return dlg->CurrentRun() && dlg->CurrentRun()->HasEnded(); }, timeoutMs);
}

void MainWindowTest::SetTarget(const std::string& path) {
  FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->ChangeValue(wxString::FromUTF8(path));
}

std::string MainWindowTest::PlanLine() const {
  return FindControl<wxStaticText>(dlg, ID_PLAN_LINE)->GetLabel().utf8_string();
}

bool GuiTest::Click(int id) {
  wxButton* button = FindControl<wxButton>(Root(), id);
  if (!button->IsEnabled()) return false;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(button);
  button->ProcessWindowEvent(click);
  return true;
}

std::string GuiTest::RealPath() const {
  return FromDisplay(FindControl<wxTextCtrl>(Root(), ID_REAL_PATH)->GetValue());
}

void GuiTest::PressKey(int code) {
  wxTreeEvent event(wxEVT_TREE_KEY_DOWN, &Tree());
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = code;
  event.SetKeyEvent(key);
  Send(event);
}

std::string GuiTest::ReadFile(const std::string& path) {
  std::string content;
  return ReadFileWhole(path, content) ? content : std::string();
}
