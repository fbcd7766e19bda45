// Renders the main window under Xvfb into a PNG, for a look by eye at its
// geometry, captions and the hint box. The path is printed.
#include <wx/filename.h>

#include <cstdlib>
#include <iostream>

#include "GuiFixture.h"
#include "ScreenGrab.h"
#include "layout/DropTreeCtrl.h"

namespace {

std::string ScreenshotDir() {
  const char* dir = std::getenv("BRENVOX_SCREENSHOTS");
  return dir ? dir : "/tmp/brenvox-screenshots";
}

}  // namespace

using Screenshot = MainWindowTest;

TEST_F(Screenshot, MainWindowWithTheHint) {
  ASSERT_TRUE(WaitFor([this] { return dlg->IsShownOnScreen(); }, 5000));
  const std::string path = ScreenshotDir() + "/main-window.png";
  wxFileName::Mkdir(wxString::FromUTF8(ScreenshotDir()), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  ASSERT_TRUE(SaveWindowShot(dlg, path));
  std::cout << "main window screenshot: " << path << std::endl;
}

TEST_F(Screenshot, HintIsPaintedOverTheTreeUntilCleared) {
  CDropTreeCtrl* tree = dlg->Tree();
  ASSERT_TRUE(WaitFor([this] { return dlg->IsShownOnScreen(); }, 5000));
  const wxPoint inside = tree->ClientToScreen(wxPoint(113, 156));  // fill, clear of the text
  const wxPoint outside = tree->ClientToScreen(wxPoint(105, 156));
  tree->Refresh();
  tree->Update();
  PumpEvents();
  EXPECT_EQ(ScreenPixel(inside), wxColour(224, 224, 214));
  EXPECT_NE(ScreenPixel(outside), wxColour(224, 224, 214));
  tree->ClearHint();
  EXPECT_FALSE(tree->ShowHint());
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(inside) == ScreenPixel(outside); }, 3000))
      << "the hint is gone: " << ScreenPixel(inside).GetAsString(wxC2S_HTML_SYNTAX).utf8_string()
      << " vs " << ScreenPixel(outside).GetAsString(wxC2S_HTML_SYNTAX).utf8_string();
  tree->ResetTree();
  tree->Refresh();
  tree->Update();
  PumpEvents();
  EXPECT_FALSE(tree->ShowHint()) << "never shown again";
  EXPECT_EQ(ScreenPixel(inside), ScreenPixel(outside));
}

TEST_F(Screenshot, MainWindowWithALayout) {
  CDropTreeCtrl* tree = dlg->Tree();
  tree->ClearHint();
  tree->InsertPath(MakeFile("readme.txt", "r"), wxTreeItemId());
  const wxTreeItemId video = tree->InsertFolder("VIDEO", wxTreeItemId());
  tree->MarkForm2(tree->InsertPath(MakeFile("intro.avi", "a"), video));
  tree->MarkForm2(tree->InsertPath(MakeFile("song.mp3", "s"), video));
  tree->InsertPath(MakeFile("notes.pdf", "n"), video);
  tree->Expand(video);
  tree->SelectItem(video);
  ASSERT_TRUE(WaitFor([this] { return dlg->IsShownOnScreen(); }, 5000));
  PumpEvents();
  const std::string path = ScreenshotDir() + "/main-window-layout.png";
  wxFileName::Mkdir(wxString::FromUTF8(ScreenshotDir()), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  ASSERT_TRUE(SaveWindowShot(dlg, path));
  std::cout << "main window with a layout: " << path << std::endl;
}
