// Inserting into the tree through the real control: paths from disk, Add
// Files, Add Folder, the messages raised meanwhile, the icons items take.
#include <wx/imaglist.h>

#include "EditingSupport.h"
#include "common/window/MessageBox.h"
#include "tests/support/LayoutPicture.h"

namespace {

using InsertPathTest = TreeFrameTest;

// Names a layout cannot keep are passed over (the model's rule), said once
// after the command; a full store is said once in each command.
TEST_F(InsertPathTest, AddFolderInsertsAtTheTopSelectsAndSaysWhatItLeftOut) {
  MakeFile("Music/song.mp3");
  const std::string quoted = MakeFile("Music/x\"y.mp3");
  const std::string music = MakeDir("Music");
  chooser->folderAnswers = {std::nullopt, std::string("/"), std::string("//"), music};
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Click(ID_ADD_FOLDER));
  EXPECT_EQ(Tree().GetCount(), 0u) << "cancel and the root insert nothing";
  EXPECT_FALSE(Tree().ShowHint());
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "Music{song.mp3}");
  EXPECT_EQ(Tree().GetSelection(), ItemAt(Tree(), "Music"));

  chooser->folderAnswers = {startupDir + "/data/gone"};
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage("Cannot find " + startupDir + "/data/gone"));
  EXPECT_FALSE(Tree().GetSelection().IsOk()) << "the selection is cleared";
  EXPECT_EQ(chooser->folderRequests, 5);

  // A message raised while inserting is shown with the tree thawed, its items
  // drawn behind it; the missing path was the last one: nothing ends selected.
  MakeFile("disk/Photos/one.jpg");
  MakeFile("disk/Photos/Trip/two.jpg");
  std::string text, shown;
  bool frozen = true;
  Tree().SelectItem(ItemAt(Tree(), "Music"));
  wxTEST_DIALOG(Tree().DropPaths({startupDir + "/data/disk/Photos", startupDir + "/data/gone"}),
                SeenMessage([&](const std::string& message) {
                  text = message;
                  frozen = Tree().IsFrozen();
                  shown = TreePicture(Tree());
                }));
  EXPECT_EQ(text, "Cannot find " + startupDir + "/data/gone");
  EXPECT_FALSE(frozen);
  EXPECT_EQ(shown, "Music{song.mp3},Photos{one.jpg,Trip{two.jpg}}");
  EXPECT_FALSE(Tree().SelectedItem().IsOk());
  const std::string tooLong = startupDir + "/" + std::string(5000, 'a') + "/end.txt";
  wxTEST_DIALOG(Tree().DropPaths({tooLong}),
                ExpectMessage(ShortenMiddle("The path is too long to reach: " + tooLong, MESSAGE_LINE_CHARS)));
  EXPECT_EQ(TreePicture(Tree()), "Music{song.mp3},Photos{one.jpg,Trip{two.jpg}}");

  while (Tree().NextIndex() < CDropTreeCtrl::MAX_ITEMS - 10) InsertFolder(Tree(), "f", {});
  for (int i = 0; i < 20; ++i) MakeFile("big/s" + std::to_string(i % 2) + "/f" + std::to_string(i));
  const std::string big = MakeDir("big");
  const unsigned before = Tree().GetCount();
  chooser->folderAnswers = {big, big};
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage(MSG_LAYOUT_FULL));
  EXPECT_EQ(Tree().GetCount(), before + 10);
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage(MSG_LAYOUT_FULL));
  EXPECT_EQ(Tree().GetCount(), before + 10);
}

// Folders take the folder pair, files one theme icon per type, added to the
// image list once. The sort rule is the model's; the tree shows each child
// where the model placed it, also before those already there.
TEST_F(InsertPathTest, ChildrenShowInTheModelsOrderWithAnIconPerTypeAndAddFilesPutsThemAtTheTop) {
  // An item's image, and its image when selected or open.
  const auto icons = [this](const wxTreeItemId& item) {
    return std::make_pair(Tree().GetItemImage(item), Tree().GetItemImage(item, wxTreeItemIcon_Selected));
  };
  const auto count = [this] { return Tree().GetImageList()->GetImageCount(); };
  EXPECT_EQ(count(), 3) << "closed folder, open folder, generic file";
  EXPECT_EQ(icons(Folder("Clips")), std::make_pair(0, 1));
  const auto avi = icons(File("a.avi"));
  EXPECT_GE(avi.first, 3) << "the theme has a video icon";
  EXPECT_EQ(avi.first, avi.second);
  EXPECT_EQ(icons(File("other/B.AVI")), avi) << "cached per type, any case";
  EXPECT_NE(icons(File("notes.txt")), avi);
  EXPECT_EQ(icons(File("d.x/noext")), std::make_pair(2, 2));
  EXPECT_EQ(icons(File("layout.kbv")), std::make_pair(2, 2));
  EXPECT_EQ(count(), 5);
  Tree().ResetTree();
  EXPECT_EQ(count(), 3) << "a reset starts a new image list";
  EXPECT_EQ(icons(File("b.avi")).first, 3);

  for (const char* name : {"b.dat", "A.dat", "same.txt", "SAME.txt", "c.dat", "D.dat", "F1/x", "F0/y"}) {
    MakeFile(std::string("mixed/") + name);
  }
  InsertPath(Tree(), MakeDir("mixed"), {});
  EXPECT_EQ(TreePicture(Tree()), Picture(Tree().Model()));

  // Add Files and Add Media Files put files at the top level in order and
  // select the last (what each button asks its chooser is MainWindowTemplate's).
  chooser->fileAnswers = {std::nullopt};
  ASSERT_TRUE(Click(ID_ADD_MEDIA_FILES));
  EXPECT_FALSE(Tree().ShowHint()) << "a cancelled command clears the hint for good";
  Tree().RemoveAll();
  const std::string a = MakeFile("clips/a.avi"), b = MakeFile("clips/b.mpg");
  const std::string quoted = MakeFile("say \"hi\".avi"), gone = startupDir + "/data/gone.avi";
  Tree().SelectItem(Folder("Folder"));  // a selected folder plays no part
  chooser->fileAnswers = {std::vector<std::string>{b, gone, quoted, a}};
  wxTEST_DIALOG(Click(ID_ADD_MEDIA_FILES), ExpectMessage("Cannot find " + gone),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},b.mpg*,a.avi*");
  EXPECT_EQ(Tree().SelectedItem(), ItemAt(Tree(), "a.avi"));
  EXPECT_EQ(RealPath(), a);

  // Form 1, a second item of the same file; the last vanished: nothing
  // selected, the path display kept.
  chooser->fileAnswers = {std::vector<std::string>{b, gone}};
  wxTEST_DIALOG(Click(ID_ADD_FILES), ExpectMessage("Cannot find " + gone));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},b.mpg*,a.avi*,b.mpg");
  EXPECT_FALSE(Tree().SelectedItem().IsOk());
  EXPECT_EQ(RealPath(), b);
}

}  // namespace
