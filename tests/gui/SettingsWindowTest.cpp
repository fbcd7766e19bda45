// gui.ini as the window sees it: read into the controls at start, written
// whole when the window is destroyed.

#include "GuiFixture.h"

using SettingsAtEnd = MainWindowTest;

// A first run's defaults; a gui.ini that cannot be replaced (a folder that
// holds a file) is not reported: a box would fail the test.
TEST_F(SettingsAtEnd, AFirstRunShowsTheDefaultsAndUnwritableSettingsAreNotReported) {
  wxComboBox* level = FindControl<wxComboBox>(dlg, ID_ISO_LEVEL);
  EXPECT_EQ(wxJoin(level->GetStrings(), '|'), "ASCII|ISO Level 1|ISO Level 2");
  EXPECT_EQ(level->GetSelection(), 0);
  EXPECT_TRUE(Tree().ShowHint());
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/image");
  for (const int id : {ID_VIEW_PROMPT, ID_KEEP_EXTENSION, ID_SINGLE_TRACK})
    EXPECT_FALSE(FindControl<wxCheckBox>(dlg, id)->GetValue()) << id;
  std::filesystem::create_directories(startupDir + "/gui.ini/keep");
  DestroyWindow();
  EXPECT_TRUE(std::filesystem::is_directory(startupDir + "/gui.ini"));
}

// How gui.ini's lines are read is the settings file's rule, what they set
// ImageOptions' (tests/unit); here they reach the controls and go back. A target
// whose name is not UTF-8 shows decoded, but every file named after it (here
// the batch file, which replaces an older one without asking) takes the
// name's own bytes, whether the target came from gui.ini or the chooser.
class SettingsAtStart : public MainWindowTest {
 protected:
  void PrepareStartupDir() override { WriteWholeFile(startupDir + "/gui.ini", startupDir + "/caf\xe9\n2 0 -1"); }
};

TEST_F(SettingsAtStart, TheControlsShowTheFileTheTargetKeepsItsBytesAndTheBoxesAsLeftAreWrittenBack) {
  EXPECT_TRUE(FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->GetValue());
  EXPECT_FALSE(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->GetValue());
  EXPECT_TRUE(FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->GetValue());
  const std::string file = MakeFile("a.txt", "x");
  InsertPath(Tree(), file, wxTreeItemId());
  const auto expectBatchAt = [&](const std::string& target, const std::string& shown) {
    wxTEST_DIALOG(Click(ID_GENERATE_BATCH), ExpectMessage("Batch file saved in \"" + shown + ".bat\""));
    EXPECT_EQ(ReadFile(target + ".bat"),
              "brenvox.exe -o \"" + target + "\" -v \"BRENVOX\" -e \"dat\" -s -f \"" + file + "\"");
  };
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/caf\xc3\xa9");
  WriteWholeFile(startupDir + "/caf\xe9.bat", "an older batch file, longer than the new one" + std::string(99, '.'));
  expectBatchAt(startupDir + "/caf\xe9", startupDir + "/caf\xc3\xa9");
  chooser->fileAnswers = {std::nullopt, std::vector<std::string>{startupDir + "/n\xf6"}};
  ASSERT_TRUE(Click(ID_CHOOSE_TARGET));
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/caf\xc3\xa9")
      << "kept when cancelled";
  ASSERT_TRUE(Click(ID_CHOOSE_TARGET));
  expectBatchAt(startupDir + "/n\xf6", startupDir + "/n\xc3\xb6");
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->SetValue(false);
  SetTarget("/loaded");  // as a loaded layout sets it: not kept
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), startupDir + "/n\xf6\n1 1 0");
}
