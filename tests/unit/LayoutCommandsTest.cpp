// The layout's commands without a window: where new items go, what a command
// reports, removing, renaming, moves by a drag, the Form 2 toggle, and a
// loaded layout file carried out.
#include "layout/LayoutCommands.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/LayoutPicture.h"
#include "tests/support/TempFolder.h"

namespace {

class LayoutCommandsTest : public ::testing::Test {
 protected:
  TempFolder dir;
  LayoutModel model;
};

TEST_F(LayoutCommandsTest, AddFromDiskReportsEachPathAndWhatWasPassedOver) {
  const std::string a = dir.MakeFile("a.mpg");
  const std::string quoted = dir.MakeFile("say \"hi\".mpg");
  const std::string folder = dir.MakeDir("clips");
  dir.MakeFile("clips/b\"c.mpg");
  dir.MakeFile("clips/d.mpg");
  const InsertReport report =
      AddFromDisk(model, {a, dir / "gone.mpg", quoted, folder}, LayoutModel::TOP_LEVEL, true);
  ASSERT_EQ(report.inserted.size(), 4u);
  EXPECT_GT(report.inserted[0], 0);
  EXPECT_EQ(report.inserted[1], 0) << "not on disk";
  EXPECT_EQ(report.inserted[2], 0) << "a double quote cannot be kept";
  EXPECT_GT(report.inserted[3], 0);
  EXPECT_EQ(report.passedOver.count, 2u) << "at any depth";
  EXPECT_EQ(report.passedOver.first, quoted);
  EXPECT_TRUE(model.IsForm2(report.inserted[0]));
  // The next command counts afresh.
  EXPECT_EQ(AddFromDisk(model, {a}, LayoutModel::TOP_LEVEL).passedOver.count, 0u);
  const LoadedLayout loaded = ApplyStructure(model, ParseStructure("-d \"A\" -f \"" + folder + "\""));
  EXPECT_EQ(loaded.report.passedOver.count, 1u) << "a loaded file reports what it passed over too";
  EXPECT_EQ(loaded.report.passedOver.first, dir / "clips/b\"c.mpg");
}

TEST_F(LayoutCommandsTest, NewItemsGoIntoTheFolderPointedAtOrTheFileFolder) {
  const int folder = MakeFolder(model, "F", LayoutModel::TOP_LEVEL).inserted.front();
  const int inside = AddFromDisk(model, {dir.MakeFile("x")}, folder).inserted.front();
  const int top = AddFromDisk(model, {dir.MakeFile("y")}, LayoutModel::TOP_LEVEL).inserted.front();
  EXPECT_EQ(ReceivingFolder(model, folder), folder);
  EXPECT_EQ(ReceivingFolder(model, inside), folder);
  EXPECT_EQ(ReceivingFolder(model, top), LayoutModel::TOP_LEVEL);
  EXPECT_EQ(ReceivingFolder(model, LayoutModel::TOP_LEVEL), LayoutModel::TOP_LEVEL);
  model.Remove(folder);
  EXPECT_EQ(ReceivingFolder(model, inside), LayoutModel::TOP_LEVEL) << "an item no longer there";
}

// The tree's gestures take their targets and selections from these: the
// context menu's entries, where dropped paths go, what is selected after
// Remove and after an insertion, and the folder Browse File Folder opens.
TEST_F(LayoutCommandsTest, TheTargetsAndSelectionsOfTheTreesGestures) {
  const int a = MakeFolder(model, "A", LayoutModel::TOP_LEVEL).inserted[0];
  const int a1 = AddFromDisk(model, {dir.MakeFile("a1")}, a).inserted[0];
  const int a2 = AddFromDisk(model, {dir.MakeFile("a2")}, a).inserted[0];
  std::string longDir;
  for (int i = 0; i < 5; ++i) longDir += std::string(120, 'd') + "/";
  const int f1 = AddFromDisk(model, {dir.MakeFile(longDir + "f1")}, LayoutModel::TOP_LEVEL).inserted[0];
  const int f2 = AddFromDisk(model, {dir.MakeFile("a b;$(x)/f2")}, LayoutModel::TOP_LEVEL).inserted[0];
  const int gone = MakeFolder(model, "Gone", LayoutModel::TOP_LEVEL).inserted[0];
  RemoveItem(model, gone);

  EXPECT_EQ(MenuOfferFor(model, 0), MenuOffer{}) << "empty space";
  EXPECT_EQ(MenuOfferFor(model, gone), MenuOffer{});
  EXPECT_EQ(MenuOfferFor(model, a), (MenuOffer{.setForm2 = true, .rename = true, .remove = true}));
  EXPECT_EQ(MenuOfferFor(model, a1), (MenuOffer{.setForm2 = true, .browseFolder = true, .remove = true}));

  EXPECT_EQ(DroppedPathsFolder(model, a), a);
  EXPECT_EQ(DroppedPathsFolder(model, a1), 0) << "a file does not stand for its folder";
  EXPECT_EQ(DroppedPathsFolder(model, gone), 0);

  EXPECT_EQ(SelectionAfterRemove(model, f2), f1);
  EXPECT_EQ(SelectionAfterRemove(model, a2), a1);
  EXPECT_EQ(SelectionAfterRemove(model, a1), 0) << "a first child";
  EXPECT_EQ(SelectionAfterRemove(model, a), 0);
  EXPECT_EQ(SelectionAfterRemove(model, gone), 0);

  EXPECT_EQ(SelectionAfterInsert(InsertReport{{f1, f2}, {}}, a), f2) << "the last path's item";
  EXPECT_EQ(SelectionAfterInsert(InsertReport{{f1, 0}, {}}, a), a) << "it made none: its folder";
  EXPECT_EQ(SelectionAfterInsert(InsertReport{{0}, {}}, 0), 0);
  EXPECT_EQ(SelectionAfterInsert(InsertReport{}, a), 0) << "nothing asked for";

  // The path as it is, however long, with its closing separator.
  EXPECT_EQ(FileFolderOf(model, f1), dir / longDir);
  EXPECT_EQ(FileFolderOf(model, f2), dir / "a b;$(x)/");
  EXPECT_EQ(FileFolderOf(model, a), "") << "a folder opens nothing";
  EXPECT_EQ(FileFolderOf(model, gone), "");
}

TEST_F(LayoutCommandsTest, MovesFollowTheDropRules) {
  const int a = MakeFolder(model, "A", LayoutModel::TOP_LEVEL).inserted[0];
  const int b = MakeFolder(model, "B", a).inserted[0];
  const int c = MakeFolder(model, "C", b).inserted[0];
  const int f = AddFromDisk(model, {dir.MakeFile("f.txt")}, a).inserted[0];
  const int top = AddFromDisk(model, {dir.MakeFile("top.txt")}, LayoutModel::TOP_LEVEL).inserted[0];
  const std::string start = Picture(model);
  ASSERT_EQ(start, "A{B{C{}},f.txt},top.txt");

  EXPECT_EQ(MoveItem(model, a, c), std::nullopt) << "a folder never goes below itself";
  EXPECT_EQ(DropItem(model, a, a), std::nullopt);
  EXPECT_EQ(DropItem(model, a, b), std::nullopt);
  EXPECT_EQ(DropItem(model, b, f), std::nullopt) << "over a file: its folder, which B is in already";
  EXPECT_EQ(DropItem(model, b, a), std::nullopt) << "onto its own folder";
  EXPECT_EQ(Picture(model), start);
  EXPECT_EQ(DropItem(model, top, 0), 0) << "empty space: the end of the top level, again";

  EXPECT_EQ(DropItem(model, c, top), 0) << "over a top-level file: the top level";
  EXPECT_EQ(DropItem(model, top, b), b);
  EXPECT_EQ(DropItem(model, b, c), c) << "B goes into C with everything below it";
  EXPECT_EQ(Picture(model), "A{f.txt},C{B{top.txt}}");
  EXPECT_EQ(MoveItem(model, f, a + 1000), LayoutModel::TOP_LEVEL) << "a parent not there: the top level";
  RemoveItem(model, c);
  EXPECT_EQ(DropItem(model, b, a), std::nullopt) << "an item no longer in the layout";
}

// Whatever is dropped where, the layout stays one tree holding every item
// once, and a drop that reports a receiver put the item at its end.
TEST_F(LayoutCommandsTest, AnyDropKeepsEveryItemInOneTree) {
  std::mt19937 random(17);
  std::vector<int> items;
  for (int i = 0; i < 12; ++i) {
    const int parent = items.empty() ? 0 : items[random() % items.size()];
    items.push_back(i % 3 == 0 ? AddFromDisk(model, {dir.MakeFile(std::string("f").append(std::to_string(i)))},
                                             ReceivingFolder(model, parent)).inserted[0]
                               : MakeFolder(model, std::string("D").append(std::to_string(i)),
                                            ReceivingFolder(model, parent)).inserted[0]);
  }
  for (int round = 0; round < 400; ++round) {
    const int item = items[random() % items.size()];
    const int target = random() % 4 == 0 ? 0 : items[random() % items.size()];
    const std::optional<int> receiver = DropItem(model, item, target);
    if (receiver) {
      EXPECT_EQ(model.ParentOf(item), *receiver);
      EXPECT_EQ(model.ChildrenOf(*receiver).back(), item);
    }
    std::size_t reached = 0;
    std::vector<int> pending{LayoutModel::TOP_LEVEL};
    while (!pending.empty() && reached <= items.size()) {
      const int at = pending.back();
      pending.pop_back();
      for (const int child : model.ChildrenOf(at)) {
        ASSERT_EQ(model.ParentOf(child), at);
        ++reached;
        pending.push_back(child);
      }
    }
    ASSERT_EQ(reached, items.size()) << "after dropping " << item << " onto " << target;
  }
}

TEST_F(LayoutCommandsTest, RemoveAndRenameActOnlyOnWhatIsThere) {
  const int folder = MakeFolder(model, "F", LayoutModel::TOP_LEVEL).inserted[0];
  const int file = AddFromDisk(model, {dir.MakeFile("a.txt")}, folder).inserted[0];
  const int other = MakeFolder(model, "G", LayoutModel::TOP_LEVEL).inserted[0];
  EXPECT_FALSE(RenameFolder(model, file, "x")) << "a file keeps its name on disk";
  EXPECT_FALSE(RenameFolder(model, folder, "a\\b")) << "a name a layout file cannot carry";
  EXPECT_FALSE(RenameFolder(model, folder, "a\"b"));
  EXPECT_TRUE(RenameFolder(model, folder, "Clips"));
  EXPECT_EQ(Picture(model), "Clips{a.txt},G{}");

  EXPECT_TRUE(RemoveItem(model, folder));
  EXPECT_FALSE(model.Contains(file)) << "the subtree goes with it";
  EXPECT_FALSE(RemoveItem(model, file));
  EXPECT_FALSE(RenameFolder(model, folder, "Back"));
  EXPECT_FALSE(RemoveItem(model, LayoutModel::TOP_LEVEL));
  EXPECT_EQ(Picture(model), "G{}");
  const int next = model.NextIndex();
  RemoveAll(model);
  EXPECT_TRUE(model.IsEmpty());
  EXPECT_FALSE(model.Contains(other));
  EXPECT_EQ(MakeFolder(model, "H", LayoutModel::TOP_LEVEL).inserted[0], next)
      << "indices are not handed out again";
}

TEST_F(LayoutCommandsTest, Form2TogglesAFileOrAFolderWithEverythingBelow) {
  const int file = AddFromDisk(model, {dir.MakeFile("a")}, LayoutModel::TOP_LEVEL).inserted[0];
  const int empty = MakeFolder(model, "E", LayoutModel::TOP_LEVEL).inserted[0];
  const int folder = MakeFolder(model, "F", LayoutModel::TOP_LEVEL).inserted[0];
  const int sub = MakeFolder(model, "S", folder).inserted[0];
  const int deep = AddFromDisk(model, {dir.MakeFile("b")}, sub).inserted[0];
  EXPECT_FALSE(Form2ChangesSubtree(model, file));
  EXPECT_FALSE(Form2ChangesSubtree(model, empty));
  EXPECT_TRUE(Form2ChangesSubtree(model, folder));
  ToggleForm2(model, file);
  ToggleForm2(model, empty);
  ToggleForm2(model, folder);
  EXPECT_TRUE(model.IsForm2(file));
  EXPECT_FALSE(model.IsForm2(empty)) << "an empty folder stays as it is";
  for (const int item : {folder, sub, deep}) EXPECT_TRUE(model.IsForm2(item)) << item;
  ToggleForm2(model, folder);
  for (const int item : {folder, sub, deep}) EXPECT_FALSE(model.IsForm2(item)) << item;
}

TEST_F(LayoutCommandsTest, ALoadedFileFillsFoldersInOrderAndHandsBackTheOptions) {
  const std::string a1 = dir.MakeFile("a1.txt"), a2 = dir.MakeFile("a2.txt"), s = dir.MakeFile("s.txt"),
                    y = dir.MakeFile("y.avi");
  dir.MakeFile("disk/inner/z.txt");
  const std::string longName(300, 'L');
  const struct {
    std::string text;
    std::string picture;
  } cases[] = {
      // Files go into the folder made last, the top level before any.
      {"-f \"" + a1 + "\" -d \"A\" -d \"A\\B\" -m \"" + y + "\" -d \"A\\B\\C\"",
       "a1.txt,A{B{y.avi*,C{}}}"},
      // Two sibling folders with one label: the second one's sub-folders go
      // into the first, its own files stay in it.
      {"-d \"A\" -f \"" + a1 + "\" -d \"A\" -f \"" + a2 + "\" -d \"A\\Sub\" -f \"" + s + "\"",
       "A{a1.txt,Sub{s.txt}},A{a2.txt}"},
      // Line breaks and stray text are tokens of their own.
      {"-d \"A\"\n-f \"" + a1 + "\"\r\n junk -m \"" + y + "\" -isolevel2 -dA \"B\"",
       "A{a1.txt,y.avi*},B{}"},
      // A missing ancestor puts the folder at the top level; a long
      // component is taken whole.
      {"-d \"X\\Y\" -d \"Y\\" + longName + "\"", "Y{" + longName + "{}}"},
      // A "-f" path that is a folder brings in its whole content.
      {"-f \"" + dir / "disk" + "\"", "disk{inner{z.txt}}"},
      // Stray text of any length between entries.
      {"-d \"Near\" " + std::string(600000, 'q') + " -d \"Far\"", "Near{},Far{}"},
      {"", ""},
  };
  for (const auto& c : cases) {
    LayoutModel fresh;
    const LoadedLayout loaded = ApplyStructure(fresh, ParseStructure(c.text));
    EXPECT_EQ(Picture(fresh), c.picture) << c.text;
    EXPECT_TRUE(loaded.options.empty()) << c.text;
  }
  // The options, in order; the ISO level is not among them.
  const LoadedLayout loaded = ApplyStructure(
      model, ParseStructure("-o \"img\" -isolevel1 -x -f \"" + dir / "gone" + "\" -v \"VOL\""));
  EXPECT_EQ(loaded.report.inserted, std::vector<int>{0}) << "the missing file";
  ASSERT_EQ(loaded.options.size(), 3u);
  EXPECT_EQ(loaded.options[0].kind, StructureActionKind::SetImagePath);
  EXPECT_EQ(loaded.options[1].kind, StructureActionKind::SetKeepExtension);
  EXPECT_EQ(loaded.options[2].value, "VOL");
}

}  // namespace
