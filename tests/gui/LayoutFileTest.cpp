// Save and Load through their buttons: the refusals, the replace question, the
// line written and what the window shows after Load. The rules below them:
// StructureFileTest, CommandLineTest, ChooserRequests, WholeFileTest, BoundedReadTest.

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "common/StructureFile.h"

namespace {

class LayoutFileTest : public MainWindowTest {
 protected:
  wxCheckBox& KeepExtension() { return *FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION); }
  // Video{intro.avi*,Extra{notes.txt}},readme.txt at the top level after it.
  void MakeLayout() {
    const wxTreeItemId video = Folder("Video");
    MarkForm2(Tree(), File("clips/intro.avi", video));
    File("docs/notes.txt", Folder("Extra", video));
    File("docs/readme.txt");
  }
  std::string Data(const std::string& rel) { return startupDir + "/data/" + rel; }
  // Save or Load with the file dialog answering path.
  bool Choose(int button, const std::string& path) {
    chooser->fileAnswers.push_back(std::vector<std::string>{path});
    return Click(button);
  }
  bool LoadText(const std::string& text) { return Choose(ID_LOAD, MakeFile("in.kbv", text)); }
  const char* replace = "This file already exists.\nDo you want to replace it?";
};

TEST_F(LayoutFileTest, SaveAsksBeforeReplacingRefusesWhatCannotBeSavedAndLoadGivesTheLayoutBack) {
  wxTEST_DIALOG(Click(ID_SAVE), ExpectMessage("I've nothing to save!"));
  MakeLayout();
  const std::string out = MakeFile("out.kbv", "old");
  wxTEST_DIALOG(Choose(ID_SAVE, out), ExpectMessage(replace, wxID_NO));
  EXPECT_EQ(ReadFile(out), "old");
  wxTEST_DIALOG(Choose(ID_SAVE, out), ExpectMessage(replace, wxID_YES));
  EXPECT_EQ(ReadFile(out).substr(0, 4), "-o \"");

  // A folder cannot be replaced by the file: reported, and it stays.
  const std::string folder = MakeDir("taken.kbv");
  MakeFile("taken.kbv/keep.txt", "keep");
  wxTEST_DIALOG(Choose(ID_SAVE, folder), ExpectMessage(replace, wxID_YES),
                ExpectMessage("Cannot save structure"));
  EXPECT_EQ(ReadFile(folder + "/keep.txt"), "keep");
  // A file gone from the disk: reported, and no dialog.
  const std::string gone = MakeFile("gone.txt");
  InsertPath(Tree(), gone, {});
  std::filesystem::remove(gone);
  wxTEST_DIALOG(Click(ID_SAVE), ExpectMessage("Cannot find " + gone),
                ExpectMessage("I've nothing to save!"));
  EXPECT_EQ(chooser->requests.size(), 3u);

  // Saved, then loaded back: the differences a layout file makes.
  Tree().RemoveAll();
  MakeLayout();
  MarkForm2(Tree(), File("b.avi"));
  SetForm2(Tree(), ItemAt(Tree(), "Video/Extra"), true);  // a folder's own flag
  const std::string round = Data("round.kbv");
  ASSERT_TRUE(Choose(ID_SAVE, round));
  Folder("Stale");  // what Load sets and keeps of the options: ImageOptionsTest
  ASSERT_TRUE(Choose(ID_LOAD, round));

  // Files now come before folders at each level; the folder's own flag is gone.
  EXPECT_EQ(TreePicture(Tree()), "readme.txt,b.avi*,Video{intro.avi*,Extra{notes.txt}}");
  EXPECT_FALSE(Tree().IsExpanded(ItemAt(Tree(), "Video")));
  EXPECT_FALSE(Tree().IsForm2(Tree().ItemIndex(ItemAt(Tree(), "Video/Extra"))));
  EXPECT_EQ(Tree().NextIndex(), 7) << "a fresh store";
  EXPECT_FALSE(Tree().SelectedItem().IsOk()) << "nothing selected";
}

// Nothing changes until a file is read; a missing file it names is reported
// and left out, and names a layout cannot keep, in a folder it brings in, are
// passed over with one message at the end.
TEST_F(LayoutFileTest, LoadChangesNothingUntilAFileIsReadAndReportsWhatItLeavesOut) {
  Folder("Old");
  KeepExtension().SetValue(true);
  Tree().SelectItem(ItemAt(Tree(), "Old"));
  chooser->fileAnswers.push_back(std::nullopt);
  ASSERT_TRUE(Click(ID_LOAD));
  EXPECT_FALSE(Tree().ShowHint()) << "the hint goes even when cancelled";
  wxTEST_DIALOG(Choose(ID_LOAD, Data("none.kbv")), ExpectMessage("Cannot open file"));
  // Sparse: larger than any layout, with a folder at its start.
  const std::string large = MakeFile("large.kbv", "-d \"New\"");
  std::filesystem::resize_file(large, MAX_STRUCTURE_FILE_BYTES + 1);
  wxTEST_DIALOG(Choose(ID_LOAD, large), ExpectMessage("Cannot open file"));
  EXPECT_EQ(TreePicture(Tree()), "Old{}");
  EXPECT_TRUE(KeepExtension().GetValue());

  const std::string ok = MakeFile("ok.avi");
  MakeFile("disk/ok.txt");
  const std::string quoted = MakeFile("disk/x\"y.txt");
  const std::string gone1 = Data("gone1.txt"), gone2 = Data("gone2.avi");
  wxTEST_DIALOG(LoadText("-f \"" + gone1 + "\" -m \"" + gone2 + "\" -m \"" + ok + "\" -f \"" +
                         Data("disk") + "\""),
                ExpectMessage("Cannot find " + gone1), ExpectMessage("Cannot find " + gone2),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "ok.avi*,disk{ok.txt}");
  ASSERT_TRUE(LoadText(""));
  EXPECT_EQ(TreePicture(Tree()), "") << "an empty file empties the layout";
  EXPECT_EQ(RealPath(), "Old") << "the path display keeps its text";
}

// The file named at start (`brenvoxgui FILE.kbv`) loads as Load does, with no
// dialog. Target, volume name and Form 2 extension in Latin-1, the extension
// longer than its edit lets one type, are saved back as loaded.
TEST_F(LayoutFileTest, VolumeNameAndForm2ExtensionThatAreNotUtf8AreSavedBackByteForByte) {
  const std::string target = Data("d\xe9mo");
  const std::string line = "-o \"" + target + "\" -v \"CAF\xc9 \xff\" -e \"d\xe9tails\" -x -f \"" +
                           MakeFile("a.txt") + "\" -d \"SUB\"";
  dlg->LoadLayoutFile(MakeFile("start.kbv", line));
  EXPECT_FALSE(Tree().ShowHint());
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue(),
            wxString(target.data(), wxConvISO8859_1, target.size()));
  const std::string out = Data("out.kbv");
  ASSERT_TRUE(Choose(ID_SAVE, out));
  EXPECT_EQ(ReadFile(out), line);
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH), SeenMessage([](const std::string&) {}));
  EXPECT_NE(ReadFile(target + ".bat"), "") << "the batch file is named after the loaded bytes";
  // Edited, they are taken as shown.
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("NEW");
  FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue(wxString::FromUTF8("\xc3\xa9"));
  wxTEST_DIALOG(Choose(ID_SAVE, out), ExpectMessage(replace, wxID_YES));
  EXPECT_NE(ReadFile(out).find("-v \"NEW\" -e \"\xc3\xa9\""), std::string::npos) << ReadFile(out);
}

}  // namespace
