// Pictures of the main window for a look by eye at its geometry, captions,
// the hint box, the plan line, the names list and the About box: each saved
// as a PNG into the folder given (default /tmp/brenvox-screenshots), and its
// path printed. The windows speak the language of the environment, as the
// program does (LANG=de_DE.UTF-8 shows the German texts).
//
//   cmake --build build --target screenshots   (runs it under xvfb-run)
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/window/AboutDialog.h"
#include "app/window/MainDialog.h"
#include "app/window/Resources.h"
#include "common/window/FindControl.h"
#include "image/window/DiscPlanView.h"
#include "image/window/NamesDialog.h"
#include "layout/LayoutCommands.h"
#include "layout/window/DropTreeCtrl.h"
#include "tests/gui/ScreenGrab.h"
#include "tests/support/TempFolder.h"

namespace {

// No chooser is opened while the pictures are made.
class NoChooser : public FileChooser {
 public:
  bool ChooseFiles(const FileDialogRequest&, std::vector<std::string>&) override { return false; }
  bool ChooseFolder(std::string&) override { return false; }
};

}  // namespace

// The event loop run until idle, for SaveWindowShot as for the windows here.
void PumpEventLoop() {
  for (int round = 0; round < 100 && wxTheApp->Yield(true); ++round) {
    if (!wxTheApp->ProcessIdle() && !wxTheApp->HasPendingEvents()) break;
  }
}

namespace {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    PumpEventLoop();
    wxMilliSleep(5);
  }
  return true;
}

struct Shots {
  std::string dir;
  TempFolder files;  // the files the layouts are made of
  bool allSaved = true;

  // The window, once on screen, saved as name.
  void Shoot(wxWindow* window, const std::string& name) {
    const std::string path = dir + "/" + name;
    const bool saved = WaitUntil([window] { return window->IsShownOnScreen(); }, 5000) &&
                       SaveWindowShot(window, path);
    std::printf("%s: %s\n", name.c_str(), saved ? path.c_str() : "NOT SAVED");
    allSaved = allSaved && saved;
  }

  // A file of size bytes among the layout's files; its path.
  std::string File(const std::string& rel, std::uintmax_t size = 1) {
    const std::string path = files.MakeFile(rel, "x");
    std::filesystem::resize_file(path, size);
    return path;
  }
};

// A fresh main window over a start-up folder with a stand-in tool, on screen.
MainDialog* NewWindow(const TempFolder& startup) {
  std::ofstream(startup / "brenvox.exe") << "#!/bin/sh\nexit 0\n";
  std::filesystem::permissions(startup / "brenvox.exe", std::filesystem::perms::owner_all);
  auto* window = new MainDialog(nullptr, startup.Path(), std::make_unique<NoChooser>());
  if (!window->Initialize()) {
    std::fprintf(stderr, "the window did not initialise\n");
    std::exit(1);
  }
  window->Show();
  return window;
}

CDropTreeCtrl& TreeOf(MainDialog* window) {
  CDropTreeCtrl& tree = *FindControl<CDropTreeCtrl>(window, ID_TREE);
  tree.ClearHint();
  return tree;
}

int Add(CDropTreeCtrl& tree, const std::string& path, int parent = LayoutModel::TOP_LEVEL, bool form2 = false) {
  return AddFromDisk(tree.Model(), {path}, parent, form2).inserted.front();
}

int Folder(CDropTreeCtrl& tree, const std::string& name) {
  return MakeFolder(tree.Model(), name, LayoutModel::TOP_LEVEL).inserted.front();
}

bool PlanShown(MainDialog* window) {
  return WaitUntil([window] {
    return !window->DiscPlan().IsPlanning() &&
           FindControl<wxStaticText>(window, ID_PLAN_LINE)->GetLabel().StartsWith("Image:");
  }, 20000);
}

void MainWindowWithTheHint(Shots& shots, MainDialog* window) { shots.Shoot(window, "main-window.png"); }

void MainWindowWithALayout(Shots& shots, MainDialog* window) {
  CDropTreeCtrl& tree = TreeOf(window);
  Add(tree, shots.File("readme.txt"));
  const int video = Folder(tree, "VIDEO");
  Add(tree, shots.File("intro.avi"), video, true);
  Add(tree, shots.File("song.mp3"), video, true);
  Add(tree, shots.File("notes.pdf"), video);
  tree.Expand(tree.ItemOf(video));
  tree.SelectItem(tree.ItemOf(video));
  // Four characters in the narrow Form2 Ext. entry, the cursor after them.
  auto& form2Ext = *FindControl<wxTextCtrl>(window, ID_FORM2_EXT);
  form2Ext.ChangeValue("abcd");
  form2Ext.SetInsertionPointEnd();
  shots.Shoot(window, "main-window-layout.png");
}

void PlanLineOfAFittingLayout(Shots& shots, MainDialog* window) {
  CDropTreeCtrl& tree = TreeOf(window);
  Add(tree, shots.File("readme.txt", 3000));
  const int video = Folder(tree, "Video Clips");
  Add(tree, shots.File("intro.mpg", 300'000'000), video, true);
  Add(tree, shots.File("notes.txt"), video);
  tree.Expand(tree.ItemOf(video));
  if (PlanShown(window)) shots.Shoot(window, "plan-fits.png");
}

void PlanLineOfAnOverlongLayout(Shots& shots, MainDialog* window) {
  CDropTreeCtrl& tree = TreeOf(window);
  const int video = Folder(tree, "VIDEO");
  for (const char* name : {"part1.mpg", "part2.mpg"}) Add(tree, shots.File(name, 560'000'000), video, true);
  tree.Expand(tree.ItemOf(video));
  if (PlanShown(window)) shots.Shoot(window, "plan-overlong.png");
}

void NamesListBox(Shots& shots, MainDialog* window) {
  CDropTreeCtrl& tree = TreeOf(window);
  auto* level = FindControl<wxComboBox>(window, ID_ISO_LEVEL);
  level->SetSelection(1);
  wxCommandEvent choose(wxEVT_COMBOBOX, level->GetId());
  level->GetEventHandler()->ProcessEvent(choose);
  Add(tree, shots.File("read me first.txt"));
  Add(tree, shots.File("a/readme.txt"));
  Add(tree, shots.File("b/README.TXT"));
  Add(tree, shots.File("holiday clip.mpg"), LayoutModel::TOP_LEVEL, true);
  Add(tree, shots.File("c/photo.jpeg"), Folder(tree, "Summer 2026"));
  if (!PlanShown(window) || !window->DiscPlan().HasNameChanges()) return;
  NamesDialog* names = new NamesDialog(window, window->DiscPlan().Current()->summary.nameChanges);
  names->Show();
  shots.Shoot(names, "names-list.png");
  names->Destroy();
}

// The About box shows the program's icon: with GDK_SCALE=2 it must be drawn
// sharp at twice the size, not blown up.
void AboutBox(Shots& shots, MainDialog* window) {
  AboutDialog* about = new AboutDialog(window);
  about->Show();
  shots.Shoot(about, "about-box.png");
  about->Destroy();
}

}  // namespace

int main(int argc, char** argv) {
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display: run under xvfb-run -a\n");
    return 1;
  }
  LoadResources();
  LoadTranslations();
  Shots shots;
  shots.dir = argc > 1 ? argv[1] : "/tmp/brenvox-screenshots";
  wxFileName::Mkdir(wxString::FromUTF8(shots.dir), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  for (const auto picture : {MainWindowWithTheHint, MainWindowWithALayout, PlanLineOfAFittingLayout,
                             PlanLineOfAnOverlongLayout, NamesListBox, AboutBox}) {
    const TempFolder startup;
    MainDialog* window = NewWindow(startup);
    picture(shots, window);
    window->Destroy();
    PumpEventLoop();
  }
  wxEntryCleanup();
  return shots.allSaved ? 0 : 2;
}
