// Write ISO from the window with the real brenvox.exe: the image it leaves
// must pass the independent readers (the sector checker and cd-info).
#include <wx/textctrl.h>
#include <wx/testing.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GuiFixture.h"
#include "MessageExpect.h"
#include "image/ToolRun.h"
#include "layout/DropTreeCtrl.h"

namespace fs = std::filesystem;

namespace {

std::string Output(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[4096];
  std::size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
  *status = pclose(pipe);
  return out;
}

class EndToEndImageTest : public MainWindowTest {
 protected:
  void PrepareStartupDir() override {
    const char* tool = std::getenv("BRENVOX_TOOL");
    fs::copy_file(tool ? tool : BRENVOX_TOOL_DEFAULT, startupDir + "/brenvox.exe", fs::copy_options::overwrite_existing);
  }
};

TEST_F(EndToEndImageTest, WriteIsoMakesAnImageTheIndependentReadersAccept) {
  CDropTreeCtrl* tree = dlg->Tree();
  tree->InsertPath(MakeFile("readme.txt", std::string(3000, 'r')), wxTreeItemId());
  const wxTreeItemId video = tree->InsertFolder("VIDEO", wxTreeItemId());
  const wxTreeItemId clip = tree->InsertPath(MakeFile("clip.mpg", std::string(5000, 'm')), video);
  tree->MarkForm2(clip);
  const std::string image = startupDir + "/out/disc";
  fs::create_directories(startupDir + "/out");
  dlg->ImagePathEdit()->ChangeValue(wxString::FromUTF8(image));

  ASSERT_TRUE(Click(ID_WRITE_ISO));
  ASSERT_TRUE(WaitFor([&] { return dlg->CurrentRun() && dlg->CurrentRun()->HasEnded(); }, 60000));
  wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
  ASSERT_TRUE(fs::exists(image + ".cue"));

  int status = -1;
  const std::string checker = std::string(BRENVOX_SHARED_DEFAULT) + "/tools/check_sectors.py";
  const std::string sectors = Output("python3 '" + checker + "' '" + image + ".bin' 2>&1", &status);
  EXPECT_EQ(status, 0) << sectors;

  const std::string listing = Output("cd-info --no-header --no-device-info --cue-file '" + image +
                                         ".cue' --iso9660 2>&1", &status);
  EXPECT_EQ(status, 0) << listing;
  EXPECT_NE(listing.find("----1xrxrxr"), std::string::npos) << listing;  // readme.txt, Form 1
  EXPECT_NE(listing.find("---2-xrxrxr"), std::string::npos) << listing;  // clip, Form 2
  EXPECT_NE(listing.find("3000"), std::string::npos) << listing;
  EXPECT_NE(listing.find(" 6144) "), std::string::npos) << listing;  // 3 sectors x 2048
  EXPECT_NE(listing.find("clip.dat"), std::string::npos) << listing;  // the Form 2 extension
}

}  // namespace
