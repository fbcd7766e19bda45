// Save and Load of the layout structure file through their buttons: the
// refusals and the replace question, the line written from the window, and
// what the window shows after Load. The format itself is StructureFileTest's,
// writing whole and reading bounded are WholeFileTest's and BoundedReadTest's.

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "common/FileFilter.h"
#include "common/StructureFile.h"

namespace {

class LayoutFileTest : public MainWindowTest {
 protected:
  std::string Text(wxTextCtrl* edit) { return FromDisplay(edit->GetValue()); }
  // Video{intro.avi*,Extra{notes.txt}},readme.txt at the top level after it.
  void MakeLayout() {
    const wxTreeItemId video = Folder("Video");
    MarkForm2(Tree(), File("clips/intro.avi", video));
    const wxTreeItemId extra = Folder("Extra", video);
    File("docs/notes.txt", extra);
    File("docs/readme.txt");
  }
  std::string Data(const std::string& rel) { return startupDir + "/data/" + rel; }
  bool Save(const std::string& path) {
    chooser->fileAnswers.push_back(std::vector<std::string>{path});
    return Click(ID_SAVE);
  }
  bool Load(const std::string& path) {
    chooser->fileAnswers.push_back(std::vector<std::string>{path});
    return Click(ID_LOAD);
  }
  bool LoadText(const std::string& text) { return Load(MakeFile("in.kbv", text)); }
};

TEST_F(LayoutFileTest, SaveRefusesAnEmptyLayoutOrAMissingFile) {
  wxTEST_DIALOG(Click(ID_SAVE), ExpectMessage("I've nothing to save!"));
  const std::string gone = MakeFile("gone.txt");
  InsertPath(Tree(), gone, {});
  std::filesystem::remove(gone);
  wxTEST_DIALOG(Click(ID_SAVE), ExpectMessage("Cannot find " + gone),
                ExpectMessage("I've nothing to save!"));
  EXPECT_TRUE(chooser->requests.empty()) << "no dialog is shown";
}

TEST_F(LayoutFileTest, SaveWritesTheOneLineWithoutTheLeadingBlank) {
  MakeLayout();
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("DEMO");
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  // Generate Batch writes the tool's line after "brenvox.exe", to TARGET.bat.
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH), SeenMessage([](const std::string&) {}));
  const std::string batch = ReadFile(Text(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)) + ".bat");
  const std::string out = Data("out.kbv");
  ASSERT_TRUE(Save(out));
  ASSERT_EQ(chooser->requests.size(), 1u);
  const FileDialogRequest& r = chooser->requests[0];
  EXPECT_FALSE(r.openMode);
  EXPECT_EQ(r.defaultExtension, "kbv");
  EXPECT_FALSE(r.multiple);
  EXPECT_TRUE(r.mustExist);
  EXPECT_EQ(r.filter, STRUCTURE_FILTER);
  EXPECT_EQ(r.title, "");
  EXPECT_EQ("brenvox.exe " + ReadFile(out), batch);
  EXPECT_NE(batch.find(" -v \"DEMO\" -e \"dat\" -x "), std::string::npos) << batch;
}

TEST_F(LayoutFileTest, SaveAsksBeforeReplacingAndAFailedWriteKeepsTheOldFile) {
  MakeLayout();
  const std::string out = MakeFile("out.kbv", "old");
  const char* replace = "This file already exists.\nDo you want to replace it?";
  wxTEST_DIALOG(Save(out), ExpectMessage(replace, wxID_NO));
  EXPECT_EQ(ReadFile(out), "old");
  wxTEST_DIALOG(Save(out), ExpectMessage(replace, wxID_YES));
  EXPECT_EQ(ReadFile(out).substr(0, 4), "-o \"");
  // A folder cannot be replaced by the file: reported, and it stays.
  const std::string folder = MakeDir("taken.kbv");
  MakeFile("taken.kbv/keep.txt", "keep");
  wxTEST_DIALOG(Save(folder), ExpectMessage(replace, wxID_YES),
                ExpectMessage("Cannot save structure"));
  EXPECT_EQ(ReadFile(folder + "/keep.txt"), "keep");
}

TEST_F(LayoutFileTest, SaveThenLoadGivesTheLayoutBackWithTheDescribedDifferences) {
  MakeLayout();
  MarkForm2(Tree(), File("b.avi"));
  SetForm2(Tree(), ItemAt(Tree(), "Video/Extra"), true);  // a folder's own flag
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("DEMO");
  const std::string out = Data("round.kbv");
  ASSERT_TRUE(Save(out));

  // Change what the file holds otherwise (what Load sets and keeps: ImageOptionsTest).
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("OTHER");
  Folder("Stale");
  ASSERT_TRUE(Load(out));
  EXPECT_EQ(chooser->requests.back().openMode, true);
  EXPECT_EQ(chooser->requests.back().defaultExtension, "kbv");
  EXPECT_EQ(chooser->requests.back().filter, STRUCTURE_FILTER);

  // Files now come before folders at each level; the folder's own flag is gone.
  EXPECT_EQ(TreePicture(Tree()), "readme.txt,b.avi*,Video{intro.avi*,Extra{notes.txt}}");
  EXPECT_FALSE(Tree().IsExpanded(ItemAt(Tree(), "Video")));
  EXPECT_FALSE(Tree().IsForm2(Tree().ItemIndex(ItemAt(Tree(), "Video/Extra"))));
  EXPECT_EQ(Tree().NextIndex(), 7) << "a fresh store";
  EXPECT_FALSE(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->GetValue());
  EXPECT_EQ(Text(FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)), "DEMO");
  EXPECT_FALSE(Tree().SelectedItem().IsOk()) << "nothing selected";
}

// A missing file is reported and left out; names a layout cannot keep, in a
// folder the file brings in, are passed over with one message at the end.
TEST_F(LayoutFileTest, AMissingFileIsReportedAndLeftOut) {
  const std::string ok = MakeFile("ok.avi");
  MakeFile("disk/ok.txt");
  const std::string quoted = MakeFile("disk/x\"y.txt");
  const std::string gone1 = Data("gone1.txt"), gone2 = Data("gone2.avi");
  wxTEST_DIALOG(LoadText("-f \"" + gone1 + "\" -m \"" + gone2 + "\" -m \"" + ok + "\" -f \"" +
                         Data("disk") + "\""),
                ExpectMessage("Cannot find " + gone1), ExpectMessage("Cannot find " + gone2),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "ok.avi*,disk{ok.txt}");
}

TEST_F(LayoutFileTest, NothingChangesUntilAFileIsReadAnEmptyOneEmptiesTheLayout) {
  Folder("Old");
  FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->SetValue(true);
  Tree().SelectItem(ItemAt(Tree(), "Old"));
  chooser->fileAnswers.push_back(std::nullopt);
  ASSERT_TRUE(Click(ID_LOAD));
  EXPECT_FALSE(Tree().ShowHint()) << "the hint goes even when cancelled";
  wxTEST_DIALOG(Load(Data("none.kbv")), ExpectMessage("Cannot open file"));
  // Sparse: larger than any layout, with a folder at its start.
  const std::string large = MakeFile("large.kbv", "-d \"New\"");
  std::filesystem::resize_file(large, MAX_STRUCTURE_FILE_BYTES + 1);
  wxTEST_DIALOG(Load(large), ExpectMessage("Cannot open file"));
  EXPECT_EQ(TreePicture(Tree()), "Old{}");
  EXPECT_TRUE(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->GetValue());

  ASSERT_TRUE(LoadText(""));
  EXPECT_EQ(TreePicture(Tree()), "");
  EXPECT_EQ(RealPath(), "Old") << "the path display keeps its text";
}

// The image target, volume name and Form 2 extension as loaded: Latin-1
// rather than UTF-8, the extension longer than its edit lets one type.
TEST_F(LayoutFileTest, VolumeNameAndForm2ExtensionThatAreNotUtf8AreSavedBackByteForByte) {
  const std::string target = Data("d\xe9mo");
  const std::string line = "-o \"" + target + "\" -v \"CAF\xc9 \xff\" -e \"d\xe9tails\" -f \"" +
                           MakeFile("a.txt") + "\"";
  ASSERT_TRUE(LoadText(line));
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue(),
            wxString(target.data(), wxConvISO8859_1, target.size()));
  const std::string out = Data("out.kbv");
  ASSERT_TRUE(Save(out));
  EXPECT_EQ(ReadFile(out), line);
  wxTEST_DIALOG(Click(ID_GENERATE_BATCH), SeenMessage([](const std::string&) {}));
  EXPECT_NE(ReadFile(target + ".bat"), "") << "the batch file is named after the loaded bytes";
  // Edited, they are taken as shown.
  FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("NEW");
  FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue(wxString::FromUTF8("\xc3\xa9"));
  wxTEST_DIALOG(Save(out),
                ExpectMessage("This file already exists.\nDo you want to replace it?", wxID_YES));
  EXPECT_NE(ReadFile(out).find("-v \"NEW\" -e \"\xc3\xa9\""), std::string::npos) << ReadFile(out);
}

}  // namespace

TEST_F(LayoutFileTest, TheFileNamedAtStartLoadsAsLoadDoesWithoutADialog) {
  // What the program does with `brenvoxgui FILE.kbv`, seen through View Cmd Line.
  const std::string a = MakeFile("a.txt", std::string(3000, 'a'));
  dlg->LoadLayoutFile(MakeFile("start.kbv", "-o \"/discs/start\" -v \"START\" -x -f \"" + a + "\" -d \"SUB\""));
  EXPECT_TRUE(chooser->requests.empty()) << "no file dialog";
  EXPECT_FALSE(Tree().ShowHint());
  wxTEST_DIALOG(Click(ID_VIEW_CMD_LINE),
                ExpectMessage(" -o \"/discs/start\" -v \"START\" -e \"dat\" -x -f \"" + a +
                              "\" -d \"SUB\"\n\nTOTAL ESTIMATED SIZE : 2 Kb"));

  // A file that cannot be read: Load's message, and the layout as it was.
  wxTEST_DIALOG(dlg->LoadLayoutFile(Data("none.kbv")), ExpectMessage("Cannot open file"));
  EXPECT_EQ(TreePicture(Tree()), "a.txt,SUB{}");
}
