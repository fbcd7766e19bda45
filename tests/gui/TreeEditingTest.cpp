// The tree's editing commands from the menu, the keys and the buttons, and the
// path display.
#include <wx/menu.h>
#include <wx/utils.h>

#include <sys/stat.h>

#include <set>

#include "EditingSupport.h"
#include "GuiFixture.h"

namespace {

constexpr const char* ASK_RECURSIVE =
    "You're going to apply \"set/unset form2\"\nto all the files in this folder "
    "recursively.\nAre you sure?";

using TreeEditingTest = TreeFrameTest;

// Each target selected by the click, with the entries it allows (the offer is
// LayoutCommandsTest's); the entry chosen then runs on it. The keys.
TEST_F(TreeEditingTest, ARealRightClickOffersTheEntriesItsTargetAllowsAndTheKeysAct) {
  const wxTreeItemId folder = Folder("Video");
  const wxTreeItemId file = File("a.txt");
  std::set<int> offered;
  int shown = 0;
  int choice = 0;
  Tree().SetMenuPresenter([&](wxMenu& menu) {
    ++shown;
    offered.clear();
    for (const wxMenuItem* entry : menu.GetMenuItems()) {
      if (!entry->IsSeparator() && entry->IsEnabled()) offered.insert(entry->GetId());
    }
    if (choice == 0) return;
    wxCommandEvent chosen(wxEVT_MENU, choice);  // as the pop-up sends it
    Tree().GetEventHandler()->ProcessEvent(chosen);
  });
  const struct {
    const char* name;
    wxTreeItemId item;
    std::set<int> offered;
  } cases[] = {
      {"nothing", wxTreeItemId(), {IDM_MAKE_FOLDER, IDM_REMOVE_ALL}},
      {"folder", folder, {IDM_MAKE_FOLDER, IDM_SET_FORM2, IDM_RENAME, IDM_REMOVE, IDM_REMOVE_ALL}},
      {"file", file,
       {IDM_MAKE_FOLDER, IDM_SET_FORM2, IDM_BROWSE_FOLDER, IDM_REMOVE, IDM_REMOVE_ALL}},
  };
  const auto rightClick = [&](const wxTreeItemId& item) {
    const int before = shown;
    sim.MouseMove(Tree().ClientToScreen(item.IsOk() ? PointOn(Tree(), item) : EmptySpace(Tree())));
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    return WaitFor([&] { return shown == before + 1; }, 3000);
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(rightClick(c.item)) << c.name;
    EXPECT_EQ(offered, c.offered) << c.name;
    EXPECT_EQ(Tree().SelectedItem(), c.item) << c.name;
  }
  choice = IDM_REMOVE;
  ASSERT_TRUE(rightClick(wxTreeItemId()));
  EXPECT_EQ(TreePicture(Tree()), "Video{},a.txt") << "nothing to remove";
  ASSERT_TRUE(rightClick(file));
  EXPECT_EQ(TreePicture(Tree()), "Video{}");
  EXPECT_FALSE(Tree().ShowHint());

  // DEL (or the keypad's) removes the selection; with nothing selected DEL
  // moves the focus to Remove and the collapse keys do nothing.
  Tree().RemoveAll();
  const wxTreeItemId a = Folder("A");
  File("a/a1.txt", a);
  Tree().Expand(a);
  Tree().SetFocus();
  ASSERT_TRUE(WaitFor([&] { return Tree().HasFocus(); }, 3000));
  for (const int key : {int(WXK_DELETE), int(WXK_NUMPAD_DELETE)}) {
    Tree().SelectItem(File("f.txt"));
    sim.Char(key);
    EXPECT_TRUE(WaitFor([&] { return TreePicture(Tree()) == "A{a1.txt}"; }, 3000)) << key;
  }
  for (const int key : {int('-'), int(WXK_SUBTRACT)}) {
    Tree().Unselect();
    PumpEvents();  // the tree makes its hidden root current
    sim.Char(key);
    PumpEvents();
    EXPECT_TRUE(Tree().IsExpanded(a)) << key;
  }
  Tree().SelectItem(a);
  sim.Char('-');
  EXPECT_TRUE(WaitFor([&] { return !Tree().IsExpanded(a); }, 3000)) << "a selected folder collapses";
  Tree().Unselect();
  PressKey(WXK_DELETE);
  EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == frame->FindWindow(ID_REMOVE); }, 3000));
  EXPECT_EQ(TreePicture(Tree()), "A{a1.txt}");

  // Browse File Folder opens the file's folder without a shell: a stand-in
  // xdg-open first on PATH records its arguments.
  const std::string bin = MakeDir("bin");
  const std::string record = startupDir + "/data/opened.txt";
  WriteWholeFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + record + ".tmp'\n"
                                    "mv '" + record + ".tmp' '" + record + "'\n");
  ::chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string oldPath = wxGetenv("PATH") ? wxString(wxGetenv("PATH")).utf8_string() : "";
  wxSetEnv("PATH", wxString::FromUTF8(bin + ":" + oldPath));
  ChooseFromMenu(Tree(), File("a b;$(touch x)/clip.avi"), IDM_BROWSE_FOLDER);
  const bool opened = WaitFor([&] { return !ReadFile(record).empty(); }, 10000);
  wxSetEnv("PATH", wxString::FromUTF8(oldPath));
  ASSERT_TRUE(opened);
  EXPECT_EQ(ReadFile(record), "1|" + startupDir + "/data/a b;$(touch x)/|");
}

// Make Folder from the menu goes where the item pointed at receives, from the
// button to the top level; Set/Unset Form2 asks for a folder with content;
// Remove selects and shows the path. (The rules are LayoutCommandsTest's.)
TEST_F(TreeEditingTest, MakeFolderSetUnsetForm2AndRemoveActWhereTheMenuOrTheButtonPoints) {
  const wxTreeItemId a = Folder("A");
  const wxTreeItemId b = Folder("B");
  wxTEST_DIALOG(ChooseFromMenu(Tree(), a, IDM_MAKE_FOLDER), ExpectFolderName({"N1"}));
  EXPECT_FALSE(Tree().IsExpanded(a)) << "the parent is not expanded";
  wxTEST_DIALOG(ChooseFromMenu(Tree(), File("b1.txt", b), IDM_MAKE_FOLDER), ExpectFolderName({"N2"}));
  Tree().SelectItem(a);
  wxTEST_DIALOG(Click(ID_MAKE_FOLDER), ExpectFolderName({"N3"}));
  EXPECT_EQ(TreePicture(Tree()), "A{N1{}},B{b1.txt,N2{}},N3{}");
  EXPECT_EQ(Tree().SelectedItem(), a) << "the new folder is not selected";
  EXPECT_FALSE(Tree().ShowHint());

  Tree().RemoveAll();
  const wxTreeItemId top = Folder("Top");
  File("x.avi", top);
  const wxTreeItemId sub = Folder("Sub", top);
  MarkForm2(Tree(), File("y.avi", sub));
  Tree().SelectItem(top);
  wxTEST_DIALOG(Click(ID_SET_FORM2), ExpectMessage(ASK_RECURSIVE, wxID_YES));
  EXPECT_EQ(TreePicture(Tree()), "Top{x.avi*,Sub{y.avi*}}");

  // No changes nothing; the folder is selected either way.
  Tree().Unselect();
  wxTEST_DIALOG(ChooseFromMenu(Tree(), sub, IDM_SET_FORM2), ExpectMessage(ASK_RECURSIVE, wxID_NO));
  EXPECT_EQ(TreePicture(Tree()), "Top{x.avi*,Sub{y.avi*}}");
  EXPECT_EQ(Tree().SelectedItem(), sub);

  // Which item Remove selects is LayoutCommandsTest's; here the selection
  // made and the path display after it.
  Tree().RemoveAll();
  const wxTreeItemId folder = Folder("A");
  const wxTreeItemId a1 = File("a/a1.txt", folder);
  const wxTreeItemId f1 = File("f1.txt");
  Tree().SelectItem(File("f2.txt"));
  ASSERT_TRUE(Click(ID_REMOVE));
  EXPECT_EQ(Tree().SelectedItem(), f1);
  EXPECT_EQ(RealPath(), Tree().ItemPath(Tree().ItemIndex(f1)));

  // None to select: the path display keeps the removed item's path.
  ChooseFromMenu(Tree(), a1, IDM_REMOVE);
  EXPECT_FALSE(Tree().SelectedItem().IsOk());
  EXPECT_EQ(RealPath(), startupDir + "/data/a/a1.txt");
  ASSERT_TRUE(Click(ID_REMOVE));
  EXPECT_EQ(TreePicture(Tree()), "A{},f1.txt");

  ChooseFromMenu(Tree(), folder, IDM_REMOVE);
  ChooseFromMenu(Tree(), f1, IDM_REMOVE);
  EXPECT_EQ(RealPath(), "") << "the last item";
  File("b.txt");
  ChooseFromMenu(Tree(), ItemAt(Tree(), "b.txt"), IDM_REMOVE_ALL);
  EXPECT_EQ(TreePicture(Tree()), "");
  EXPECT_EQ(RealPath(), "") << "Remove All";
}

}  // namespace
