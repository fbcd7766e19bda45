// Renders the main window under Xvfb into a PNG, for a look by eye at its
// geometry, captions and the hint box. The path is printed.
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>

#include <cstdlib>
#include <iostream>

#include "GuiFixture.h"
#include "layout/DropTreeCtrl.h"

namespace {

std::string ScreenshotDir() {
  const char* dir = std::getenv("BRENVOX_SCREENSHOTS");
  return dir ? dir : "/tmp/brenvox-screenshots";
}

bool SaveWindowShot(wxWindow* window, const std::string& path) {
  window->Raise();
  window->Update();
  PumpEventLoop();
  const wxRect rect = window->GetScreenRect();
  wxBitmap bitmap(rect.width, rect.height, 24);
  {
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
  }
  wxFileName::Mkdir(wxString::FromUTF8(ScreenshotDir()), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  return bitmap.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

}  // namespace

using Screenshot = MainWindowTest;

TEST_F(Screenshot, MainWindowWithTheHint) {
  ASSERT_TRUE(WaitFor([this] { return dlg->IsShownOnScreen(); }, 5000));
  const std::string path = ScreenshotDir() + "/main-window.png";
  ASSERT_TRUE(SaveWindowShot(dlg, path));
  std::cout << "main window screenshot: " << path << std::endl;
}
