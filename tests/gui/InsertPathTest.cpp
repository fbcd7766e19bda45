// Inserting paths from disk and Add Folder, through the real tree control.
#include "EditingSupport.h"
#include "tests/support/LayoutPicture.h"

namespace {

using InsertPathTest = TreeFrameTest;

// The sort rule is the model's; the tree shows each child where the model
// placed it, also when a file goes before those already there.
TEST_F(InsertPathTest, TheTreeShowsChildrenInTheModelsOrder) {
  for (const char* name : {"b.dat", "A.dat", "same.txt", "SAME.txt", "c.dat", "D.dat", "F1/x", "F0/y"}) {
    MakeFile(std::string("mixed/") + name);
  }
  InsertPath(Tree(), MakeDir("mixed"), {});
  EXPECT_EQ(TreePicture(Tree()), Picture(Tree().Model()));
}

// Names a layout cannot keep, at any depth, are passed over (the model's
// rule); Add Folder says so once after the command. A full store says so
// once in each command, keeping what was inserted before.
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

}  // namespace
