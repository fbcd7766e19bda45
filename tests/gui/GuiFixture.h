// The GUI test harness. MainWindowTest shows the main window in a fresh
// start-up directory with a stand-in brenvox.exe (a script that exits 0) and a
// ScriptedChooser. Message boxes: wxTEST_DIALOG with ExpectMessage; a modal
// dialog or a context menu no test expected fails the test.
#pragma once

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/FileChooser.h"
#include "app/window/MainDialog.h"
#include "common/window/FindControl.h"
#include "LayoutTreeHelpers.h"
#include "MessageExpect.h"
#include "tests/support/TempFolder.h"

std::string RealToolPath();  // the built brenvox.exe (BRENVOX_TOOL, set by ctest)
void WriteWholeFile(const std::string& path, const std::string& content);
// What a shell command prints on stdout; *status is its wait status.
std::string CommandOutput(const std::string& command, int* status);
void PumpEventLoop();
void DestroyAndWait(wxWindow* window);  // until the deferred deletion has run
bool WaitForCondition(const std::function<bool()>& cond, int timeoutMs);

// Answers the file and folder choosers from queues (nullopt: Cancel) and
// records the requests; a call with an empty queue fails the test.
class ScriptedChooser : public FileChooser {
 public:
  std::deque<std::optional<std::vector<std::string>>> fileAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::vector<FileDialogRequest> requests;
  int folderRequests = 0;

  bool ChooseFiles(const FileDialogRequest& request, std::vector<std::string>& paths) override;
  bool ChooseFolder(std::string& path) override;
};

// A fresh temporary directory (startupDir, the test's files under "data").
class GuiTest : public ::testing::Test {
 protected:
  // A file or folder under startupDir + "/data", parents made; its full path.
  std::string MakeFile(const std::string& relPath, const std::string& content = "");
  std::string MakeDir(const std::string& relPath) { return m_folder.MakeDir("data/" + relPath); }
  // A real wxEVT_BUTTON from the button with that id under Root(), as a
  // click sends it; a disabled button does nothing (false).
  bool Click(int id);
  void PumpEvents() { PumpEventLoop(); }
  bool WaitFor(const std::function<bool()>& cond, int timeoutMs) { return WaitForCondition(cond, timeoutMs); }
  std::string ReadFile(const std::string& path);  // "" when unreadable
  virtual wxWindow* Root() const = 0;  // the window the test drives

  CDropTreeCtrl& Tree() const { return *FindControl<CDropTreeCtrl>(Root(), ID_TREE); }
  std::string RealPath() const;
  wxTreeItemId Folder(const std::string& name, wxTreeItemId parent = {}) {
    return InsertFolder(Tree(), name, parent);
  }
  wxTreeItemId File(const std::string& rel, wxTreeItemId parent = {}) {
    return InsertPath(Tree(), MakeFile(rel, "x"), parent);
  }
  void Send(wxEvent& event) { Tree().GetEventHandler()->ProcessEvent(event); }
  void PressKey(int code);  // a key as the tree reports it (DEL, F2)
  wxUIActionSimulator sim;  // real input

 private:
  TempFolder m_folder;  // removed with the fixture, after TearDown

 protected:
  std::string startupDir = m_folder.Path();
};

class MainWindowTest : public GuiTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual void PrepareStartupDir() {}  // before the window is made
  wxWindow* Root() const override;

  // The stand-in tool's script (kept executable), or the built brenvox.exe.
  void WriteTool(const std::string& script);
  void UseRealTool();
  // Holds back the window's ticks: the test ticks with dlg->OnTimer() and so
  // answers the end of a run itself; RunEnded waits until the next tick sees it.
  void DriveTicks();
  bool RunEnded(int timeoutMs = 10000);
  void SetTarget(const std::string& path);  // as a loaded layout sets it
  std::string PlanLine() const;             // the line under the buttons
  void DestroyWindow();  // now, as at the end of the program; dlg becomes null

  ScriptedChooser* chooser = nullptr;
  MainDialog* dlg = nullptr;

 private:
  std::string m_previousDir;
};
