// View Cmd Line and Generate Batch from the option controls and the layout.
#include <unistd.h>

#include "RunSupport.h"
#include "image/window/CommandLineBox.h"

namespace {

using CommandLineBuildTest = MainWindowTest;

// The entries are BuildEntries', the refused values the batch file's rule
// (tests/unit), the bytes written SettingsAtStart's; here the window says why
// it writes nothing, each control gives its option, and a line too long for a
// message shows in a box that scrolls.
TEST_F(CommandLineBuildTest, GenerateBatchSaysWhyItWritesNothingAndEachControlGivesItsOption) {
  EXPECT_TRUE(Click(ID_VIEW_CMD_LINE));  // an empty tree
  EXPECT_TRUE(Click(ID_GENERATE_BATCH));
  EXPECT_FALSE(std::filesystem::exists(startupDir + "/image.bat"));
  InsertPath(Tree(), MakeFile("a.txt"), {});
  SetTarget(startupDir + "/missing/disc");
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH), ExpectMessage("Cannot write batch file."));
  const std::string target = startupDir + "/disc";
  SetTarget(target);
  const std::string run = MakeFile("clip$(touch X).mpg", "x");
  InsertPath(Tree(), run, {});
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH),
                ExpectMessage("Cannot write batch file: a shell would not read $, ` or \" in a "
                              "value as text, nor a \\ at its end or before another \\ or a "
                              "line break.\n" + run));
  EXPECT_FALSE(std::filesystem::exists(target + ".bat"));
  Tree().RemoveAll();
  SetTarget("/img/disc");
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("A\"B");
  FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue("dat");
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->SetValue(true);
  FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->SetSelection(1);
  const std::string m = MakeFile("src/m.mpg");
  ASSERT_EQ(::truncate(m.c_str(), (std::int64_t{8} << 30) + 100), 0);  // sparse
  MarkForm2(Tree(), InsertPath(Tree(), m, {}));
  const std::string total = "\n\nTOTAL ESTIMATED SIZE : 8388608 Kb";
  wxTEST_DIALOG(Click(ID_VIEW_CMD_LINE),
                ExpectMessage(" -o \"/img/disc\" -v \"A\"B\" -e \"dat\" -x -s -isolevel1 -m \"" + m + "\"" + total));
  std::string lines = " -o \"/img/disc\"\n -v \"A\"B\"\n -e \"dat\"\n -x\n -s\n -isolevel1\n -m \"" + m + "\"";
  for (int i = 0; i < 100; ++i) {
    const std::string file = MakeFile("a rather long folder name/file number " + std::to_string(i));
    InsertPath(Tree(), file, {});
    lines += "\n -f \"" + file + "\"";
  }
  wxTEST_DIALOG(Click(ID_VIEW_CMD_LINE), ExpectModal<CommandLineBox>([&](CommandLineBox* box) {
                  EXPECT_EQ(box->GetTitle(), "brenvoxgui");
                  EXPECT_EQ(box->Text().utf8_string(), lines + total);
                  EXPECT_NE(box->FindWindow(wxID_OK), nullptr);
                  return wxID_OK;
                }));
}

}  // namespace
