#include "app/LayoutApp.h"

#include <filesystem>
#include <memory>

#include "app/DialogChooser.h"
#include "app/MainDialog.h"
#include "app/Resources.h"

namespace {

// The current directory, of any length; empty when it cannot be read.
std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::current_path(error);
  return error ? std::string() : dir.string();
}

}  // namespace

std::unique_ptr<MainDialog> MakeMainWindow(const std::string& startupDir) {
  auto chooser = std::make_unique<DialogChooser>();
  DialogChooser& dialogs = *chooser;
  auto window = std::make_unique<MainDialog>(nullptr, startupDir, std::move(chooser));
  dialogs.SetParent(window.get());  // file dialogs are modal over the window
  return window;
}

bool LayoutApp::OnInit() {
  // The program takes no command line of its own, so the framework's
  // command-line parsing is not run.
  LoadResources();
  return true;
}

int LayoutApp::OnRun() {
  {
    const std::unique_ptr<MainDialog> dialog = MakeMainWindow(CurrentDirectory());
    SetTopWindow(dialog.get());
    if (dialog->Initialize()) dialog->ShowModal();
    SetTopWindow(nullptr);
  }  // the dialog's destruction writes gui.ini
  // Run from OnRun, not OnInit: an OnInit returning false would exit with 255.
  return 0;
}
