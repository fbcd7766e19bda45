// Inserting paths from disk and Add Folder, through the real tree control.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TreeFrame.h"
#include "LayoutTreeHelpers.h"
#include "MessageExpect.h"
#include "common/DiskEntry.h"

namespace fs = std::filesystem;

namespace {

class InsertPathTest : public TreeFrameTest {
 protected:
  wxTreeItemId Insert(const std::string& path) { return InsertPath(Tree(), path, wxTreeItemId()); }
};

// The sort rule itself is the model's (tests/unit); the tree shows each child
// where the model placed it, also when a file goes before those already there.
TEST_F(InsertPathTest, TheTreeShowsChildrenInTheModelsOrder) {
  MakeFile("mix/B.txt");
  MakeFile("mix/a.txt");
  MakeDir("mix/Sub");
  EXPECT_EQ(ChildLabels(Tree(), Insert(MakeDir("mix"))),
            (std::vector<std::string>{"a.txt", "B.txt", "Sub"}));

  // Files only (letter case mixed, two labels equal but for case), and files
  // with folders, which are not sorted: each goes after the children present.
  for (int i = 0; i < 300; ++i) {
    std::string name = "clip" + std::to_string(i * 7919 % 1000) + ".dat";
    if (i % 3 == 0) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    MakeFile("files/" + name);
    MakeFile("mixed/f" + std::to_string(i * 37 % 311) + ".txt");
  }
  MakeFile("files/same.txt");
  MakeFile("files/SAME.txt");
  for (int i = 0; i < 20; ++i) MakeDir("mixed/F" + std::to_string(i * 13 % 29));
  MakeDir("mixed/zzz");
  MakeDir("mixed/AAA");
  for (const char* name : {"files", "mixed"}) {
    const std::string folder = MakeDir(name);
    const wxTreeItemId item = Insert(folder);
    std::vector<std::string> modelOrder;
    for (const int child : Tree().Model().ChildrenOf(Tree().ItemIndex(item))) {
      modelOrder.push_back(Tree().Model().Label(child));
    }
    EXPECT_EQ(ChildLabels(Tree(), item), modelOrder) << name;
  }
}

TEST_F(InsertPathTest, StoreEntriesAndIndicesOfAFolderFromDisk) {
  const std::string file = MakeFile("Photos/one.jpg");
  const std::string folder = MakeDir("Photos");
  const int first = Tree().NextIndex();
  const wxTreeItemId photos = Insert(folder);
  const int folderIndex = Tree().ItemIndex(photos);
  EXPECT_EQ(folderIndex, first);
  EXPECT_TRUE(Tree().IsFolder(folderIndex));
  EXPECT_EQ(Tree().ItemPath(folderIndex), "Photos");
  const wxTreeItemId one = ChildNamed(Tree(), photos, "one.jpg");
  ASSERT_TRUE(one.IsOk());
  EXPECT_EQ(Tree().ItemIndex(one), first + 1);
  EXPECT_EQ(Tree().ItemPath(first + 1), file);
  EXPECT_FALSE(Tree().IsFolder(first + 1));
  EXPECT_FALSE(Tree().IsForm2(first + 1));
  // The same file again: a second item with its own index.
  const wxTreeItemId again = Insert(file);
  EXPECT_EQ(Tree().ItemIndex(again), first + 2);
  EXPECT_EQ(Tree().NextIndex(), first + 3);
}

TEST_F(InsertPathTest, APathThatCannotBeFoundInsertsNothing) {
  const int before = Tree().NextIndex();
  const wxTreeItemId parent = InsertFolder(Tree(), "Made", wxTreeItemId());
  const std::string missing = startupDir + "/data/none.txt";
  struct Case {
    std::string path;
    wxTreeItemId parent;
  };
  for (const Case& c : {Case{"/", wxTreeItemId()}, Case{missing, wxTreeItemId()},
                        Case{missing, parent}}) {
    wxTreeItemId result;
    wxTEST_DIALOG(result = InsertPath(Tree(), c.path, c.parent),
                  ExpectMessage("Cannot find " + c.path));
    EXPECT_EQ(result, c.parent);
  }
  EXPECT_EQ(Tree().NextIndex(), before + 1);
  EXPECT_EQ(Tree().GetCount(), 1u);
}

TEST_F(InsertPathTest, AddFolderInsertsAtTheTopAndSelects) {
  MakeFile("Music/song.mp3");
  const std::string music = MakeDir("Music");
  chooser->folderAnswers = {std::nullopt, std::string("/"), std::string("//"), music};
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Click(ID_ADD_FOLDER));
  EXPECT_EQ(Tree().GetCount(), 0u) << "cancel and the root insert nothing";
  EXPECT_FALSE(Tree().ShowHint());
  EXPECT_TRUE(Click(ID_ADD_FOLDER));
  EXPECT_EQ(DescribeTree(Tree()), "Music/\n  song.mp3\n");
  EXPECT_EQ(Tree().GetSelection(), ChildNamed(Tree(), wxTreeItemId(), "Music"));

  chooser->folderAnswers = {startupDir + "/data/gone"};
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage("Cannot find " + startupDir + "/data/gone"));
  EXPECT_FALSE(Tree().GetSelection().IsOk()) << "the selection is cleared";
  EXPECT_EQ(chooser->folderRequests, 5);
}

TEST_F(InsertPathTest, AFullStoreRefusesWithOneMessagePerCommand) {
  while (Tree().NextIndex() < CDropTreeCtrl::MAX_ITEMS - 10) {
    InsertFolder(Tree(), "f", wxTreeItemId());
  }
  for (int sub = 0; sub < 2; ++sub) {
    for (int i = 0; i < 10; ++i) MakeFile("big/s" + std::to_string(sub) + "/f" + std::to_string(i));
  }
  const std::string big = MakeDir("big");
  const unsigned before = Tree().GetCount();
  chooser->folderAnswers = {big, big};
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage(MSG_LAYOUT_FULL));
  EXPECT_TRUE(model.IsFull());
  EXPECT_EQ(Tree().NextIndex(), CDropTreeCtrl::MAX_ITEMS);
  EXPECT_EQ(Tree().GetCount(), before + 10) << "the items inserted before it stay";
  // The next command says it again, once; nothing more is created.
  wxTEST_DIALOG(Click(ID_ADD_FOLDER), ExpectMessage(MSG_LAYOUT_FULL));
  EXPECT_EQ(Tree().GetCount(), before + 10);
  Tree().Model().BeginCommand();
  wxTEST_DIALOG(EXPECT_FALSE(InsertFolder(Tree(), "g", wxTreeItemId()).IsOk()),
                ExpectMessage(MSG_LAYOUT_FULL));
}

TEST_F(InsertPathTest, AddFolderPassesOverNamesALayoutCannotKeepAtEveryDepth) {
  MakeFile("Disc/a\\b/lost.txt");
  MakeFile("Disc/ok.txt");
  MakeFile("Disc/Sub/Deeper/x\"y.txt");
  MakeFile("Disc/Sub/Deeper/kept.txt");
  MakeFile("Disc/Sub/back\\slash.txt");
  chooser->folderAnswers = {MakeDir("Disc")};
  // The first passed over is the first met, in the order the disk lists.
  std::string first;
  ListFolder(startupDir + "/data/Disc", [&](const ListedEntry& entry) {
    if (entry.name == "a\\b") first = startupDir + "/data/Disc/a\\b";
    if (entry.name == "Sub") first = startupDir + "/data/Disc/Sub/Deeper/x\"y.txt";
    return first.empty();
  });
  wxTEST_DIALOG(Click(ID_ADD_FOLDER),
                ExpectMessage("2 items were not added: a name with a double quote, or a folder "
                              "name with a backslash, cannot be kept in a layout.\n" + first));
  // Disc, ok.txt, Sub, back\slash.txt, Deeper and kept.txt.
  EXPECT_EQ(Tree().GetCount(), 6u) << DescribeTree(Tree());
  const wxTreeItemId sub = ChildNamed(Tree(), ChildNamed(Tree(), wxTreeItemId(), "Disc"), "Sub");
  EXPECT_EQ(ChildLabels(Tree(), ChildNamed(Tree(), sub, "Deeper")),
            std::vector<std::string>{"kept.txt"});
  EXPECT_EQ(Tree().GetSelection(), ChildNamed(Tree(), wxTreeItemId(), "Disc"));
}

}  // namespace
