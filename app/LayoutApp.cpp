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

bool LayoutApp::OnInit() {
  // The program takes no command line of its own, so the framework's
  // command-line parsing is not run.
  LoadResources();
  return true;
}

int LayoutApp::OnRun() {
  {
    MainDialog dialog(nullptr, CurrentDirectory(), std::make_unique<DialogChooser>());
    SetTopWindow(&dialog);
    if (dialog.Initialize()) dialog.ShowModal();
    SetTopWindow(nullptr);
  }  // the dialog's destruction writes gui.ini
  // Run from OnRun, not OnInit: an OnInit returning false would exit with 255.
  return 0;
}
