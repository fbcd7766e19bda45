// Open Disc Image from a real right click on the tree, with the real
// brenvox.exe: the extraction run, and the layout that rebuilds the image.
#include <wx/menu.h>

#include <cstdlib>

#include "EditingSupport.h"
#include "RunSupport.h"
#include "ScreenGrab.h"

namespace fs = std::filesystem;

namespace {

class OpenImageTest : public MainWindowTest {
 protected:
  void PrepareStartupDir() override { UseRealTool(); }
  // Chooses "Open Disc Image..." with a real right click on the tree.
  void OpenFromTheMenu() {
    int shown = 0;
    Tree().SetMenuPresenter([&](wxMenu& menu) {
      ++shown;
      const wxMenuItemList& items = menu.GetMenuItems();
      EXPECT_EQ(items.back()->GetId(), IDM_OPEN_IMAGE) << "not the last entry";
      EXPECT_TRUE(menu.IsEnabled(IDM_OPEN_IMAGE));
      wxCommandEvent choice(wxEVT_MENU, IDM_OPEN_IMAGE);  // as the pop-up sends it
      Tree().GetEventHandler()->ProcessEvent(choice);
    });
    wxUIActionSimulator sim;
    sim.MouseMove(Tree().ClientToScreen(EmptySpace(Tree())));
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    const bool presented = WaitFor([&] { return shown == 1; }, 3000);
    // A click that comes later fails the test: it must not reach this frame's
    // variables, nor open the real pop-up, which would wait for a click.
    Tree().SetMenuPresenter([](wxMenu&) { ADD_FAILURE() << "a late context menu"; });
    ASSERT_TRUE(presented);
  }
};

// A file that is no image says why and keeps the layout; an image is
// extracted and the layout that rebuilds it replaces the old one.
TEST_F(OpenImageTest, TheMenuEntryExtractsTheImageAndLoadsItsLayout) {
  const std::string image = startupDir + "/discs/demo";
  fs::create_directories(startupDir + "/discs");
  const std::string readme = MakeFile("readme.txt", std::string(3000, 'r'));
  const std::string clip = MakeFile("clip.mpg", std::string(5000, 'm'));
  int status = -1;
  CommandOutput("'" + startupDir + "/brenvox.exe' -o '" + image + "' -v DEMO -f '" + readme + "' -d VIDEO -m '" + clip + "'",
                &status);
  ASSERT_EQ(status, 0);
  Folder("Old layout");
  DriveTicks();

  const std::string notImage = MakeFile("notes.iso", std::string(50000, 'x'));
  chooser->fileAnswers = {std::vector<std::string>{notImage}, std::vector<std::string>{startupDir + "/data/out"}};
  OpenFromTheMenu();
  ASSERT_TRUE(RunEnded(60000));
  wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Not Opened\n\nbrenvox.exe ended with exit code 2\nbrenvox.exe: Cannot read " +
                                              notImage + ": it is neither a raw Mode 2 image nor an ISO 9660 image"));
  EXPECT_EQ(TreePicture(Tree()), "Old layout{}");
  ExpectIdle(dlg);

  chooser->requests.clear();
  chooser->fileAnswers = {std::vector<std::string>{image + ".cue"}, std::vector<std::string>{image}};
  OpenFromTheMenu();
  ASSERT_EQ(chooser->requests.size(), 2u);
  EXPECT_EQ(chooser->requests[0].title, "Open Disc Image");
  EXPECT_EQ(chooser->requests[1].proposedPath, image) << "a folder beside the image, named after it";
  ExpectRunning(dlg);
  EXPECT_EQ(FindControl<wxGauge>(dlg, ID_PROGRESS)->GetRange(), 100);
  ASSERT_TRUE(RunEnded(60000));
  dlg->OnTimer();  // status 0: no message, the layout is loaded

  ExpectIdle(dlg);
  EXPECT_EQ(TreePicture(Tree()), "readme.txt,VIDEO{clip.mpg*}");
  EXPECT_EQ(FromDisplay(FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->GetValue()), "DEMO");
  EXPECT_EQ(FromDisplay(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue()), image + "-rebuilt") << "never the opened image";
  // The plan line shows the opened image's size.
  const std::uintmax_t sectors = fs::file_size(image + ".bin") / 2352;
  EXPECT_TRUE(WaitFor([&] { return PlanLine().starts_with("Image: " + std::to_string(sectors) + " sectors"); }, 20000))
      << PlanLine();
  if (const char* dir = std::getenv("BRENVOX_SCREENSHOTS")) {  // a look by eye at the opened image
    PumpEvents();
    SaveWindowShot(dlg, std::string(dir) + "/opened-image.png");
  }
}

}  // namespace
