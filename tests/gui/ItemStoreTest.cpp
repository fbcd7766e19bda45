// The layout item store behind the tree: indices handed out once between
// resets, never past MAX_ITEMS, FindFolder's exact sibling search and the
// bold state that follows the Form 2 mark of files only.
#include "GuiFixture.h"
#include "layout/DropTreeCtrl.h"

class ItemStore : public MainWindowTest {
 protected:
  // A tree item with a fresh store entry, as insertion makes one.
  wxTreeItemId Add(const std::string& path, bool folder, wxTreeItemId parent = wxTreeItemId()) {
    CDropTreeCtrl* tree = dlg->Tree();
    const int index = tree->AddStoreEntry(path, folder);
    EXPECT_GT(index, 0) << "store full";
    const wxTreeItemId item = tree->AppendItem(tree->InsertionParent(parent), path);
    tree->SetItemIndex(item, index);
    return item;
  }
};

TEST_F(ItemStore, IndicesAreNeverReusedBetweenResets) {
  CDropTreeCtrl* tree = dlg->Tree();
  EXPECT_EQ(tree->ItemCount(), 1);
  const wxTreeItemId a = Add("/d/a.txt", false);
  const wxTreeItemId b = Add("Folder", true);
  EXPECT_EQ(tree->ItemIndex(a), 1);
  EXPECT_EQ(tree->ItemIndex(b), 2);
  tree->Delete(a);
  const wxTreeItemId c = Add("/d/c.txt", false);
  EXPECT_EQ(tree->ItemIndex(c), 3) << "a removed item's index is not handed out again";
  EXPECT_EQ(tree->ItemPath(1), "/d/a.txt") << "a removed item's entries stay";
  tree->DeleteChildren(tree->TopLevel());
  EXPECT_EQ(tree->ItemIndex(Add("x", true)), 4);
  tree->ResetTree();
  EXPECT_EQ(tree->GetCount(), 0u);
  EXPECT_EQ(tree->ItemCount(), 1);
  EXPECT_EQ(tree->ItemIndex(Add("/d/new.txt", false)), 1);
  EXPECT_EQ(tree->ItemPath(2), "") << "entries of earlier indices are released";
}

// (The store's bound of MAX_ITEMS is tried through insertion, InsertPathTest.)
TEST_F(ItemStore, TheHiddenRootIsNoLayoutItem) {
  CDropTreeCtrl* tree = dlg->Tree();
  const wxTreeItemId folder = Add("Music", true);
  const wxTreeItemId file = Add("/d/song.ogg", false, folder);
  EXPECT_EQ(tree->ParentOf(file), folder);
  EXPECT_FALSE(tree->ParentOf(folder).IsOk()) << "a top-level item has no parent";
  EXPECT_EQ(tree->ItemIndex(tree->TopLevel()), 0);
  EXPECT_FALSE(tree->IsFolderItem(tree->TopLevel()));
}

TEST_F(ItemStore, FindFolderMatchesExactNamesAmongFollowingSiblings) {
  CDropTreeCtrl* tree = dlg->Tree();
  const wxTreeItemId music = Add("Music", true);
  const wxTreeItemId lower = Add("music", true);
  Add("Video", false);  // a file item whose path equals a name
  const wxTreeItemId deep = Add("Deep", true, music);
  wxTreeItemIdValue cookie;
  const wxTreeItemId first = tree->GetFirstChild(tree->TopLevel(), cookie);
  struct Case {
    const char* name;
    wxTreeItemId from;
    wxTreeItemId found;
  };
  const Case cases[] = {
      {"Music", first, music},
      {"music", first, lower},
      {"MUSIC", first, wxTreeItemId()},
      {"Mus", first, wxTreeItemId()},
      {"Video", first, wxTreeItemId()},
      {"Deep", first, wxTreeItemId()},
      {"Deep", deep, deep},
      {"Music", lower, wxTreeItemId()},
      {"Music", wxTreeItemId(), wxTreeItemId()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tree->FindFolder(c.name, c.from), c.found) << c.name;
  }
}

TEST_F(ItemStore, OnlyForm2FilesAreBold) {
  CDropTreeCtrl* tree = dlg->Tree();
  const wxTreeItemId folder = Add("Clips", true);
  const wxTreeItemId file = Add("/d/clip.avi", false, folder);
  tree->MarkForm2(file);
  EXPECT_TRUE(tree->IsForm2(tree->ItemIndex(file)));
  EXPECT_TRUE(tree->IsBold(file));
  tree->SetForm2(folder, true);
  EXPECT_TRUE(tree->IsForm2(tree->ItemIndex(folder)));
  EXPECT_FALSE(tree->IsBold(folder));
  tree->SetForm2(file, false);
  EXPECT_FALSE(tree->IsForm2(tree->ItemIndex(file)));
  EXPECT_FALSE(tree->IsBold(file));
}
