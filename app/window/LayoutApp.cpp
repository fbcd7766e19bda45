#include "app/window/LayoutApp.h"

#include <filesystem>
#include <memory>

#include "app/window/DialogChooser.h"
#include "app/window/MainDialog.h"
#include "app/window/Resources.h"
#include "app/StartupPlaces.h"
#include "image/DiscImageName.h"

namespace {

// The current directory, of any length; empty when it cannot be read.
std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path dir = std::filesystem::current_path(error);
  return error ? std::string() : dir.string();
}

}  // namespace

std::optional<std::string> LayoutApp::s_layoutFile;

void LayoutApp::SetLayoutFile(std::string path) { s_layoutFile = std::move(path); }

std::unique_ptr<MainDialog> MakeMainWindow(StartupPlaces places) {
  auto chooser = std::make_unique<DialogChooser>();
  DialogChooser& dialogs = *chooser;
  auto window = std::make_unique<MainDialog>(nullptr, std::move(places), std::move(chooser));
  dialogs.SetParent(window.get());  // file dialogs are modal over the window
  return window;
}

bool LayoutApp::OnInit() {
  // The program's one argument, a layout file, was taken by main; the
  // framework's command-line parsing is not run.
  LoadTranslations();
  LoadResources();
  return true;
}

int LayoutApp::OnRun() {
  {
    const std::unique_ptr<MainDialog> dialog =
        MakeMainWindow(DecideStartupPlaces(GatherStartupFacts(CurrentDirectory())));
    SetTopWindow(dialog.get());
    if (dialog->Initialize()) {
      if (s_layoutFile) {
        // Loaded before the modal loop starts, so no input reaches the window
        // before its layout is there; shown first, so that Load's messages
        // stand over it.
        dialog->Show();
        if (IsDiscImageName(*s_layoutFile)) {
          dialog->OpenDiscImage(*s_layoutFile);
        } else {
          dialog->LoadLayoutFile(*s_layoutFile);
        }
      }
      dialog->ShowModal();
    }
    SetTopWindow(nullptr);
  }  // the dialog's destruction writes gui.ini
  // Run from OnRun, not OnInit: an OnInit returning false would exit with 255.
  return 0;
}
