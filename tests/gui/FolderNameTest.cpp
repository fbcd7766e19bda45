// The folder name dialog: its template, the checks on OK (the rules and their
// messages are FolderNameRulesTest's), the length limits, the rename text and Esc.

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "layout/FolderNameRules.h"

namespace {

using FolderNameTest = TreeFrameTest;

TEST_F(FolderNameTest, TheTemplateHasNoCaptionAnEditAndOKAndTypingStopsAt500) {
  CFolderName dialog(frame);
  EXPECT_FALSE(dialog.HasFlag(wxCAPTION));
  EXPECT_TRUE(dialog.HasFlag(wxRESIZE_BORDER));
  EXPECT_EQ(dialog.GetClientSize(), dialog.ConvertDialogToPixels(wxSize(186, 30)));
  ASSERT_NE(dialog.Edit(), nullptr);
  EXPECT_EQ(dialog.Edit()->GetId(), 1011);
  EXPECT_EQ(dialog.Edit()->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(7, 8)));
  auto* ok = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_OK));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetLabel(), "OK");
  EXPECT_EQ(ok->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(129, 8)));
  EXPECT_EQ(ok->GetSize(), dialog.ConvertDialogToPixels(wxSize(50, 13)));
  EXPECT_EQ(dialog.FindWindow(wxID_CANCEL), nullptr);
  EXPECT_FALSE(dialog.IsRename());
  EXPECT_EQ(dialog.Edit()->GetValue(), "");
  // A refused name stays in the edit for correction.
  dialog.Edit()->ChangeValue("a:b");
  bool accepted = true;
  wxTEST_DIALOG(accepted = dialog.AcceptName(), ExpectMessage(MSG_FORBIDDEN_CHARS));
  EXPECT_FALSE(accepted);
  EXPECT_EQ(dialog.Edit()->GetValue(), "a:b");
  CFolderName longer(frame, std::string(600, 'L'));
  EXPECT_EQ(longer.Edit()->GetValue(), wxString(std::string(499, 'L'))) << "its first 499 characters";

  // Real typing: the edit takes 500 characters at most, Enter presses OK
  // (which reads 499 of them), Esc leaves without OK.
  const struct {
    std::size_t prefilled;
    const char* typed;
    std::size_t shown;
    int key;
    int result;
  } cases[] = {{497, "nnnnnn", 500, WXK_RETURN, wxID_OK}, {0, "Music", 5, WXK_ESCAPE, wxID_CANCEL}};
  for (const auto& c : cases) {
    CFolderName dialog(frame);
    dialog.Show();
    dialog.Edit()->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return dialog.Edit()->HasFocus(); }, 3000));
    dialog.Edit()->ChangeValue(wxString(wxT('n'), c.prefilled));
    dialog.Edit()->SetInsertionPointEnd();
    sim.Text(c.typed);
    EXPECT_TRUE(WaitFor([&] { return dialog.Edit()->GetValue().length() >= c.shown; }, 10000));
    PumpEvents();
    EXPECT_EQ(dialog.Edit()->GetValue().length(), c.shown);
    sim.Char(c.key);
    EXPECT_TRUE(WaitFor([&] { return !dialog.IsShown(); }, 3000));
    EXPECT_EQ(dialog.GetReturnCode(), c.result);
    if (c.result == wxID_OK) {
      EXPECT_EQ(dialog.Name(), std::string(499, 'n'));
    }
  }
}

// F2 on a file does nothing. On a folder, left unchanged, it keeps a name that
// is not UTF-8 (Latin-1, an encoded surrogate: shown one character a byte); a
// name typed anew is taken as typed. A refused name keeps the dialog open
// until one is accepted, or Esc leaves changing nothing.
TEST_F(FolderNameTest, RenameAndMakeFolderAskUntilANameIsAcceptedOrEscAndKeepANameThatIsNotUtf8) {
  Tree().SelectItem(File("clips/a.avi"));
  EXPECT_EQ(RealPath(), startupDir + "/data/clips/a.avi");
  PressKey(WXK_F2);  // no dialog expected
  for (const std::string bytes : {"caf\xe9", "caf\xed\xa0\xa9"}) {
    const wxTreeItemId folder = InsertPath(Tree(), MakeDir(bytes), {});
    const int index = Tree().ItemIndex(folder);
    EXPECT_EQ(Tree().GetItemText(folder), wxString(bytes.data(), wxConvISO8859_1, bytes.size()));
    Tree().SelectItem(folder);
    EXPECT_EQ(FindControl<wxTextCtrl>(frame, ID_REAL_PATH)->GetValue(), Tree().GetItemText(folder));
    wxTEST_DIALOG(PressKey(WXK_F2), ExpectFolderName({std::nullopt}));
    EXPECT_EQ(Tree().ItemPath(index), bytes);
    const std::string typed = "caf\xc3\xa9 " + std::to_string(index);
    wxTEST_DIALOG(PressKey(WXK_F2), ExpectFolderName({typed}));
    EXPECT_EQ(Tree().ItemPath(index), typed);
  }
  Tree().Unselect();
  PumpEvents();
  EXPECT_EQ(RealPath(), "caf\xc3\xa9 3") << "no selection keeps the text";

  Tree().RemoveAll();
  const wxTreeItemId video = Folder("Video");
  Tree().SelectItem(video);
  wxTEST_DIALOG(PressKey(WXK_F2), ExpectFolderName({"a:b"}, wxString("Video")),
                ExpectMessage(MSG_FORBIDDEN_CHARS));
  EXPECT_EQ(TreePicture(Tree()), "Video{}");

  File("a.txt", video);
  wxTEST_DIALOG(ChooseFromMenu(Tree(), video, IDM_RENAME), ExpectFolderName({"Clips"}));
  EXPECT_EQ(TreePicture(Tree()), "Clips{a.txt}");
  EXPECT_EQ(Tree().ItemPath(Tree().ItemIndex(video)), "Clips");
  EXPECT_EQ(RealPath(), "Clips");

  wxTEST_DIALOG(Click(ID_MAKE_FOLDER), ExpectFolderName({}));
  EXPECT_EQ(TreePicture(Tree()), "Clips{a.txt}") << "Esc: nothing is made";
  wxTEST_DIALOG(Click(ID_MAKE_FOLDER), ExpectFolderName({"", "a-b", "Caf\xc3\xa9 1 "}),
                ExpectMessage(MSG_TYPE_A_NAME), ExpectMessage(MSG_FORBIDDEN_CHARS));
  EXPECT_EQ(TreePicture(Tree()), "Clips{a.txt},Caf\xc3\xa9 1 {}");
}

}  // namespace
