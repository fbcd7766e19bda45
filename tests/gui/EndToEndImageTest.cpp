// Write ISO from the window with the real brenvox.exe and the largest layout
// the window holds: the image it leaves must pass the independent readers
// (the sector checker and cd-info). That every layout's image passes them is
// the tool's rule (tests/tool).

#include <cstdio>
#include <fstream>

#include "GuiFixture.h"
#include "image/window/ToolProcess.h"

namespace fs = std::filesystem;

namespace {

// Checks the image's sectors with the independent checker and its file
// system with cd-info; cd-info's listing, for the test's own checks.
std::string CheckedImageListing(const std::string& image) {
  int status = -1;
  const std::string checker = std::string(BRENVOX_SHARED_DEFAULT) + "/tools/check_sectors.py";
  const std::string sectors = CommandOutput("python3 '" + checker + "' '" + image + ".bin' 2>&1", &status);
  EXPECT_EQ(status, 0) << sectors;
  const std::string listing = CommandOutput("cd-info --no-header --no-device-info --cue-file '" + image +
                                                ".cue' --iso9660 2>&1", &status);
  EXPECT_EQ(status, 0) << listing.substr(0, 4000);
  return listing;
}

class EndToEndImageTest : public MainWindowTest {
 protected:
  void PrepareStartupDir() override { UseRealTool(); }
};

// The most the window holds: 49,999 items, a folder from disk with 49
// folders of 1,019 files each and 18 files of its own. Their arguments pass
// the system's limit, so the entries reach the tool through a file.
TEST_F(EndToEndImageTest, TheLargestLayoutTheWindowHoldsIsWritten) {
  const std::string top = MakeDir("big");
  for (int d = 0; d < 49; ++d) {
    const std::string folder = top + "/folder" + std::to_string(d);
    fs::create_directory(folder);
    for (int f = 0; f < 1019; ++f) std::ofstream(folder + "/file" + std::to_string(f) + ".txt");
  }
  for (int f = 0; f < 18; ++f) std::ofstream(top + "/top" + std::to_string(f) + ".txt") << std::string(f < 3 ? 3000 : 0, 't');
  CDropTreeCtrl* tree = &Tree();
  InsertPath(*tree, top, wxTreeItemId());
  ASSERT_EQ(tree->NextIndex(), 50000) << "49,999 items";
  const std::string image = startupDir + "/out/disc";
  fs::create_directories(startupDir + "/out");
  SetTarget(image);
  DriveTicks();

  ASSERT_TRUE(Click(ID_WRITE_ISO));
  ASSERT_NE(dlg->CurrentRun(), nullptr);
  EXPECT_FALSE(dlg->CurrentRun()->ArgumentFile().empty()) << "the arguments fitted: no test of the file";
  ASSERT_TRUE(RunEnded(120000));
  wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
  ASSERT_TRUE(fs::exists(image + ".cue"));

  const std::string listing = CheckedImageListing(image);
  std::size_t files = 0;
  for (std::size_t at = listing.find("----1xrxrxr"); at != std::string::npos; at = listing.find("----1xrxrxr", at + 1)) ++files;
  EXPECT_EQ(files, 49u * 1019u + 18u);
  EXPECT_NE(listing.find("/big/folder48/:"), std::string::npos);
  EXPECT_NE(listing.find("file1018.txt"), std::string::npos);
}

}  // namespace
