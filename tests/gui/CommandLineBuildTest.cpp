// View Cmd Line and Generate Batch from the option controls and the layout.
#include <unistd.h>

#include "GuiFixture.h"
#include "image/window/CommandLineBox.h"

namespace {

// Answers the box that shows a long command line, checking what it shows.
class ExpectCommandLineBox : public wxExpectModalBase<CommandLineBox, ExpectCommandLineBox> {
 public:
  explicit ExpectCommandLineBox(std::string text) : m_text(std::move(text)) {}

 protected:
  int OnInvoked(CommandLineBox* box) const override {
    EXPECT_EQ(box->GetTitle(), "brenvoxgui");
    EXPECT_EQ(box->Text().utf8_string(), m_text);
    EXPECT_NE(box->FindWindow(wxID_OK), nullptr);
    return wxID_OK;
  }

 private:
  std::string m_text;
};

class CommandLineBuildTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!dlg) return;
    // The settings entries stay out of the way unless a test sets them.
    FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->ChangeValue(wxString());
    FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue(wxString());
    FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue(wxString());
  }
  wxTreeItemId File(const std::string& path, wxTreeItemId parent = wxTreeItemId()) {
    return InsertPath(Tree(), path, parent);
  }
};

// The entries are BuildEntries' (tests/unit); here each control gives its
// option, and a line too long for a message shows in a box that scrolls.
TEST_F(CommandLineBuildTest, EachControlGivesItsOptionAndALongLineScrollsInABox) {
  SetTarget("/img/disc");
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("A\"B");
  FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue("dat");
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->SetValue(true);
  FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->SetSelection(1);
  const std::string m = MakeFile("src/m.mpg");
  ASSERT_EQ(::truncate(m.c_str(), (std::int64_t{8} << 30) + 100), 0);  // sparse
  MarkForm2(Tree(), File(m));
  const std::string total = "\n\nTOTAL ESTIMATED SIZE : 8388608 Kb";
  wxTEST_DIALOG(Click(ID_VIEW_CMD_LINE),
                ExpectMessage(" -o \"/img/disc\" -v \"A\"B\" -e \"dat\" -x -s -isolevel1 -m \"" + m + "\"" + total));
  std::string lines = " -o \"/img/disc\"\n -v \"A\"B\"\n -e \"dat\"\n -x\n -s\n -isolevel1\n -m \"" + m + "\"";
  for (int i = 0; i < 100; ++i) {
    const std::string file = MakeFile("a rather long folder name/file number " + std::to_string(i));
    File(file);
    lines += "\n -f \"" + file + "\"";
  }
  wxTEST_DIALOG(Click(ID_VIEW_CMD_LINE), ExpectCommandLineBox(lines + total));
}

// The refused values are the batch file's rule (tests/unit), the bytes
// written TargetBytes'; here the window says why it writes nothing.
TEST_F(CommandLineBuildTest, GenerateBatchSaysWhyItWritesNothing) {
  EXPECT_TRUE(Click(ID_VIEW_CMD_LINE));  // an empty tree
  EXPECT_TRUE(Click(ID_GENERATE_BATCH));
  EXPECT_FALSE(std::filesystem::exists(".bat"));
  File(MakeFile("a.txt"));
  SetTarget(startupDir + "/missing/disc");
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH), ExpectMessage("Cannot write batch file."));
  const std::string target = startupDir + "/disc";
  SetTarget(target);
  const std::string run = MakeFile("clip$(touch X).mpg", "x");
  File(run);
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH),
                ExpectMessage("Cannot write batch file: a shell would not read $, ` or \" in a "
                              "value as text, nor a \\ at its end or before another \\ or a "
                              "line break.\n" + run));
  EXPECT_FALSE(std::filesystem::exists(target + ".bat"));
}

}  // namespace
