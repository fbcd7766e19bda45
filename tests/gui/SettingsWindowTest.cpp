// gui.ini as the window sees it: loaded into the image target and the check
// boxes at start, written whole when the window is destroyed.
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <filesystem>

#include "GuiFixture.h"
#include "MessageExpect.h"
#include "layout/window/DropTreeCtrl.h"

namespace {

struct IniCase {
  const char* name;
  const char* content;     // nullptr: no gui.ini
  const char* target;      // "@" stands for the start-up directory
  bool viewPrompt, keepExtension, singleTrack;
  const char* writtenBack;  // gui.ini at the end, "@" as above
};

std::string Expand(const std::string& text, const std::string& dir) {
  std::string out;
  for (char c : text) out += c == '@' ? dir : std::string(1, c);
  return out;
}

// How a file's lines are read is the settings file's rule (tests/unit); here
// what is read reaches the controls (any number but 0 ticks, numbers that do
// not scan tick nothing) and goes back at the end. (No gui.ini: the
// defaults, SettingsAtEnd.)
const IniCase INI_CASES[] = {
    {"TwoNumbersOnly", "/discs/two\n1 1", "/discs/two", false, false, false, "/discs/two\n0 0 0"},
    {"OtherValuesTick", "/d\n2 0 -1", "/d", true, false, true, "/d\n1 0 1"},
};

}  // namespace

class SettingsAtStart : public MainWindowTest, public ::testing::WithParamInterface<IniCase> {
 protected:
  void PrepareStartupDir() override {
    if (GetParam().content) WriteWholeFile(startupDir + "/gui.ini", GetParam().content);
  }
};

TEST_P(SettingsAtStart, LoadsThenWritesBackAtTheEnd) {
  const IniCase& c = GetParam();
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), Expand(c.target, startupDir));
  EXPECT_EQ(FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->GetValue(), c.viewPrompt);
  EXPECT_EQ(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->GetValue(), c.keepExtension);
  EXPECT_EQ(FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->GetValue(), c.singleTrack);
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), Expand(c.writtenBack, startupDir));
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsAtStart, ::testing::ValuesIn(INI_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

using SettingsAtEnd = MainWindowTest;

TEST_F(SettingsAtEnd, TheBoxesAsLeftAreWritten) {
  FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->SetValue(true);
  FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->SetValue(true);
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), startupDir + "/image\n1 0 1");
}

TEST_F(SettingsAtEnd, ChosenTargetIsWrittenButNotTheBuildTarget) {
  const std::string chosen = startupDir + "/out/my disc";  // need not exist
  chooser->fileAnswers.push_back(std::vector<std::string>{chosen});
  ASSERT_TRUE(Click(ID_CHOOSE_TARGET));
  ASSERT_EQ(chooser->requests.size(), 1u);  // what it asks for: ButtonClicks
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), chosen);
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), chosen + "\n0 0 0");
}

TEST_F(SettingsAtEnd, CancelledChooserKeepsTheTarget) {
  chooser->fileAnswers.push_back(std::nullopt);
  ASSERT_TRUE(Click(ID_CHOOSE_TARGET));
  EXPECT_EQ(chooser->requests.size(), 1u);
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/image");
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), startupDir + "/image\n0 0 0");
}

TEST_F(SettingsAtEnd, AnEditedImagePathDoesNotReachTheFile) {
  // Loading a structure file with "-o" changes the edit's text the same way.
  FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->ChangeValue(wxT("/loaded/target"));
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), startupDir + "/image\n0 0 0");
}

TEST_F(SettingsAtEnd, UnwritableSettingsAreNotReported) {
  // gui.ini is a folder that holds a file: it cannot be replaced. No message
  // box may appear (the safety net would fail the test).
  std::filesystem::create_directories(startupDir + "/gui.ini/keep");
  DestroyWindow();
  EXPECT_TRUE(std::filesystem::is_directory(startupDir + "/gui.ini"));
}

// A target whose name is not UTF-8 shows decoded, but every file named after
// it (here the batch file) takes the name's own bytes, whether the target came
// from gui.ini or from the chooser.
class TargetBytes : public MainWindowTest {
 protected:
  void PrepareStartupDir() override { WriteWholeFile(startupDir + "/gui.ini", startupDir + "/caf\xe9\n0 0 0"); }
};

TEST_F(TargetBytes, FromTheSettingsFileAndFromTheChooser) {
  const std::string file = MakeFile("a.txt", "x");
  InsertPath(Tree(), file, wxTreeItemId());
  const auto expectBatchAt = [&](const std::string& target, const std::string& shown) {
    wxTEST_DIALOG(Click(ID_GENERATE_BATCH), ExpectMessage("Batch file saved in \"" + shown + ".bat\""));
    EXPECT_EQ(ReadFile(target + ".bat"),
              "brenvox.exe -o \"" + target + "\" -v \"BRENVOX\" -e \"dat\" -f \"" + file + "\"");
  };
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/caf\xc3\xa9");
  expectBatchAt(startupDir + "/caf\xe9", startupDir + "/caf\xc3\xa9");
  chooser->fileAnswers.push_back(std::vector<std::string>{startupDir + "/n\xf6"});
  ASSERT_TRUE(Click(ID_CHOOSE_TARGET));
  expectBatchAt(startupDir + "/n\xf6", startupDir + "/n\xc3\xb6");
  DestroyWindow();
  EXPECT_EQ(ReadFile(startupDir + "/gui.ini"), startupDir + "/n\xf6\n0 0 0");
}
