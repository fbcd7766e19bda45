// The layout model without a window: the store's indices, the tree's shape
// after each edit, the rules of moving, Form 2 and the sort of a scanned folder.
#include "layout/LayoutModel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "common/DiskEntry.h"
#include "tests/support/LayoutPicture.h"
#include "tests/support/SortOracle.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// Records what the model says, one line per call.
class Recorder : public LayoutObserver {
 public:
  std::vector<std::string> said;
  void OnInserted(int index, int parent, std::size_t place) override {
    said.push_back("insert " + std::to_string(index) + " in " + std::to_string(parent) + " at " +
                   std::to_string(place));
  }
  void OnRemoving(int index) override { said.push_back("remove " + std::to_string(index)); }
  void OnMoved(int index, int parent) override {
    said.push_back("move " + std::to_string(index) + " to " + std::to_string(parent));
  }
  void OnForm2Changed(int index) override { said.push_back("form2 " + std::to_string(index)); }
  void OnRenamed(int index) override { said.push_back("rename " + std::to_string(index)); }
  void OnCleared() override { said.push_back("clear"); }
  void OnCannotFind(const std::string& path) override { said.push_back("cannot find " + path); }
  void OnPathTooLong(const std::string& path) override { said.push_back("too long " + path); }
  void OnFull() override { said.push_back("full"); }
};

class LayoutModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.SetObserver(&recorder);
  }
  std::string MakeFile(const std::string& rel) { return temp.MakeFile(rel); }
  std::string MakeDir(const std::string& rel) { return temp.MakeDir(rel); }
  TempFolder temp;
  const std::string dir = temp.Path();
  Recorder recorder;
  LayoutModel model;
};

TEST_F(LayoutModelTest, IndicesAreNeverReusedBetweenResets) {
  EXPECT_EQ(model.NextIndex(), 1);
  const int a = model.InsertPath(MakeFile("a.txt"), 0);
  const int b = model.InsertFolder("Folder", 0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  model.Remove(a);
  EXPECT_FALSE(model.Contains(a));
  EXPECT_EQ(model.InsertPath(MakeFile("c.txt"), 0), 3) << "a removed item's index is not handed out again";
  EXPECT_EQ(model.ItemPath(1), dir + "/a.txt") << "a removed item's entries stay";
  model.RemoveAll();
  EXPECT_TRUE(model.IsEmpty());
  EXPECT_EQ(model.InsertFolder("x", 0), 4) << "Remove All keeps the next index";
  model.Reset();
  EXPECT_TRUE(model.IsEmpty());
  EXPECT_EQ(model.NextIndex(), 1);
  EXPECT_EQ(model.InsertFolder("new", 0), 1);
  EXPECT_EQ(model.ItemPath(2), "") << "entries of earlier indices are released";
}

TEST_F(LayoutModelTest, TheStoreHoldsAtMost49999ItemsAndSaysSoOncePerCommand) {
  model.BeginCommand();
  for (int i = 1; i < LayoutModel::MAX_ITEMS; ++i) ASSERT_EQ(model.InsertFolder("f", 0), i);
  EXPECT_TRUE(model.IsFull());
  recorder.said.clear();
  EXPECT_EQ(model.InsertFolder("g", 0), 0);
  EXPECT_EQ(model.InsertPath(MakeFile("h.txt"), 0), 0);
  EXPECT_EQ(recorder.said, std::vector<std::string>{"full"});
  model.BeginCommand();
  EXPECT_EQ(model.InsertFolder("g", 0), 0);
  EXPECT_EQ(recorder.said, (std::vector<std::string>{"full", "full"}));
  EXPECT_EQ(model.ChildrenOf(0).size(), 49999u);
}

TEST_F(LayoutModelTest, FindFolderMatchesExactNamesOfFoldersAmongTheChildren) {
  const int music = model.InsertFolder("Music", 0);
  const int lower = model.InsertFolder("music", 0);
  const int video = model.InsertPath(MakeFile("Video"), 0);
  const int deep = model.InsertFolder("Deep", music);
  ASSERT_GT(video, 0);
  EXPECT_EQ(model.Label(video), "Video");
  struct Case {
    const char* name;
    int parent;
    int found;
  };
  const Case cases[] = {
      {"Music", 0, music}, {"music", 0, lower},  {"MUSIC", 0, 0}, {"Mus", 0, 0},
      {"Video", 0, 0},     {"Deep", 0, 0},       {"Deep", music, deep}, {"Music", music, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(model.FindFolder(c.name, c.parent), c.found) << c.name;
  EXPECT_EQ(model.ParentOf(deep), music);
  EXPECT_EQ(model.ParentOf(music), 0) << "a top-level item has no parent";
}

TEST_F(LayoutModelTest, Form2ReachesEveryItemBelowAFolder) {
  const int clips = model.InsertFolder("Clips", 0);
  const int sub = model.InsertFolder("Sub", clips);
  const int a = model.InsertPath(MakeFile("a.avi"), clips);
  const int b = model.InsertPath(MakeFile("b.avi"), sub);
  const int outside = model.InsertPath(MakeFile("c.avi"), 0);
  model.ApplyForm2(clips, true);
  EXPECT_FALSE(model.IsForm2(clips)) << "the folder's own mark is its caller's";
  for (const int item : {sub, a, b}) EXPECT_TRUE(model.IsForm2(item)) << item;
  EXPECT_FALSE(model.IsForm2(outside));
  model.ApplyForm2(clips, false);
  for (const int item : {sub, a, b}) EXPECT_FALSE(model.IsForm2(item)) << item;
}

TEST_F(LayoutModelTest, AFolderNeverMovesBelowItself) {
  const int a = model.InsertFolder("A", 0);
  const int b = model.InsertFolder("B", a);
  const int f = model.InsertPath(MakeFile("f.txt"), 0);
  EXPECT_FALSE(model.Move(a, b));
  EXPECT_FALSE(model.Move(a, a));
  EXPECT_TRUE(model.Move(f, b));
  EXPECT_EQ(Picture(model), "A{B{f.txt}}");
  EXPECT_TRUE(model.IsInSubtree(f, a));
  EXPECT_FALSE(model.IsInSubtree(a, f));
}

TEST_F(LayoutModelTest, RemovingTakesTheSubtreeAndTellsTheViewFirst) {
  const int a = model.InsertFolder("A", 0);
  const int b = model.InsertFolder("B", a);
  const int f = model.InsertPath(MakeFile("f.txt"), b);
  model.Rename(b, "Bee");
  model.SetForm2(f, true);
  EXPECT_EQ(model.ItemPath(b), "Bee");
  model.Remove(a);
  EXPECT_TRUE(model.IsEmpty());
  for (const int item : {a, b, f}) EXPECT_FALSE(model.Contains(item));
  EXPECT_EQ(model.InsertFolder("X", b), 4) << "a parent that left the layout means the top level";
  EXPECT_EQ(model.ChildrenOf(0), std::vector<int>{4});
  EXPECT_EQ(recorder.said,
            (std::vector<std::string>{"insert 1 in 0 at 0", "insert 2 in 1 at 0", "insert 3 in 2 at 0",
                                      "rename 2", "form2 3", "remove 1", "insert 4 in 0 at 0"}));
}

std::vector<std::string> Labels(const LayoutModel& model, int parent) {
  std::vector<std::string> labels;
  for (const int child : model.ChildrenOf(parent)) labels.push_back(model.Label(child));
  return labels;
}

TEST_F(LayoutModelTest, AScannedFolderFollowsTheSortRuleAndSkipsHiddenNamesAndLoops) {
  for (int i = 0; i < 200; ++i) {
    std::string name = "clip" + std::to_string(i * 7919 % 1000) + ".dat";
    if (i % 3 == 0) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    MakeFile("mixed/" + name);
  }
  MakeFile("mixed/same.txt");
  MakeFile("mixed/SAME.txt");
  // Letters outside ASCII, in either case; "caf\xe9" is Latin-1, not UTF-8.
  for (const char* name : {"\xc3\x84pfel", "caf\xe9", "\xc3\xa9" "clair", "\xc3\x89t\xc3\xa9",
                           "\xc5\x92uvre", "Eta"}) {
    MakeFile("mixed/" + std::string(name));
  }
  MakeFile("mixed/.hidden");
  for (int i = 0; i < 20; ++i) MakeFile("mixed/F" + std::to_string(i * 13 % 29) + "/x");
  ASSERT_EQ(::symlink((dir + "/mixed").c_str(), (dir + "/mixed/F0/up").c_str()), 0);
  const std::string folder = dir + "/mixed";
  recorder.said.clear();
  const int item = model.InsertPath(folder, 0);
  ASSERT_EQ(item, 1);
  EXPECT_EQ(Labels(model, item), PlaceByTheRule(folder));
  EXPECT_EQ(model.ItemPath(item), "mixed") << "a folder from disk keeps its name";
  const int f0 = model.FindFolder("F0", item);
  ASSERT_GT(f0, 0);
  EXPECT_EQ(Labels(model, f0), std::vector<std::string>{"x"}) << "the link back up is passed over";
  EXPECT_EQ(model.ItemPath(model.ChildrenOf(f0)[0]), folder + "/F0/x");
  EXPECT_EQ(model.NextIndex(), 1 + 1 + 208 + 20 * 2);
  EXPECT_EQ(recorder.said.size(), 1u + 208 + 40) << "one insertion said per item";

  EXPECT_EQ(model.InsertPath(dir + "/gone", 0), 0);
  EXPECT_EQ(recorder.said.back(), "cannot find " + dir + "/gone");
  EXPECT_EQ(model.NextIndex(), 1 + 1 + 208 + 20 * 2) << "a missing path takes no index";
}

// Every file inserted, alone or by the scan of its folder, comes with the
// size it had on disk then; a later look-up's size replaces it, and a new
// store knows none.
TEST_F(LayoutModelTest, FilesComeInWithTheirSizesOnDisk) {
  const std::string single = MakeFile("single.txt");
  std::ofstream(MakeFile("tree/a.txt")) << "12345";
  MakeFile("tree/sub/b.txt");
  const int folder = model.InsertPath(dir + "/tree", 0);
  const int file = model.InsertPath(single, 0);
  int files = 0;
  for (int index = 1; index < model.NextIndex(); ++index) {
    if (model.IsFolder(index)) {
      EXPECT_FALSE(model.KnownSize(index));
      continue;
    }
    ++files;
    EXPECT_EQ(model.KnownSize(index), std::optional<std::uint64_t>(fs::file_size(model.ItemPath(index))))
        << model.ItemPath(index);
  }
  EXPECT_EQ(files, 3);
  model.RememberSize(file, 99);
  model.RememberSize(folder, 99);
  EXPECT_EQ(model.KnownSize(file), std::optional<std::uint64_t>(99));
  EXPECT_FALSE(model.KnownSize(folder));
  model.Reset();
  EXPECT_FALSE(model.KnownSize(file));
}

TEST_F(LayoutModelTest, AFolderThatCannotBeListedEndsItsScanQuietly) {
  MakeFile("open/ok.txt");
  MakeFile("open/locked/secret.txt");
  const std::string locked = MakeDir("open/locked");
  ::chmod(dir.c_str(), 0755);
  ::chmod(locked.c_str(), 0);
  // Root lists any folder: look at it as an ordinary user for this insertion.
  const bool asRoot = ::geteuid() == 0;
  if (asRoot) {
    ASSERT_EQ(::seteuid(65534), 0);
  }
  recorder.said.clear();
  const int open = model.InsertPath(MakeDir("open"), 0);
  if (asRoot) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  ::chmod(locked.c_str(), 0755);
  std::vector<std::string> children = Labels(model, open);
  std::sort(children.begin(), children.end());
  EXPECT_EQ(children, (std::vector<std::string>{"locked", "ok.txt"}));
  EXPECT_TRUE(model.ChildrenOf(model.FindFolder("locked", open)).empty());
  EXPECT_EQ(recorder.said.size(), 3u) << "three insertions and nothing else said";
}

TEST_F(LayoutModelTest, ALinkToTheRootMetInAScanIsPassedOverQuietly) {
  MakeFile("disk/a.txt");
  ASSERT_EQ(::symlink("/", (dir + "/disk/root").c_str()), 0);
  recorder.said.clear();
  const int item = model.InsertPath(dir + "/disk", 0);
  EXPECT_EQ(Labels(model, item), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(recorder.said, (std::vector<std::string>{"insert 1 in 0 at 0", "insert 2 in 1 at 0"}))
      << "nothing said about the link";
}

}  // namespace

namespace {

// Names a structure file cannot carry: a double quote anywhere in what is
// stored (a file's path, a folder's name), a backslash in a folder's name.
TEST_F(LayoutModelTest, NamesALayoutFileCannotCarryArePassedOverAndCounted) {
  const std::string quoted = MakeFile("top/say \"hi\".txt");
  MakeFile("top/back\\slash.txt");  // a file keeps its path: a backslash in it is carried
  MakeFile("top/ok.txt");
  MakeFile("top/a\\b/inside.txt");
  MakeFile("top/q\"r/inside.txt");
  MakeFile("top/deep/deeper/x\"y.txt");
  MakeFile("top/deep/deeper/z.txt");
  const std::string quotedDir = MakeDir("odd\"dir");
  MakeFile("odd\"dir/in.txt");

  PassedOver scan;
  const int top = model.InsertPath(dir + "/top", 0, &scan);
  ASSERT_GT(top, 0);
  // top, back\slash.txt, ok.txt, deep, deeper and z.txt; in the listing's order.
  EXPECT_EQ(model.NextIndex(), top + 6);
  EXPECT_EQ(model.ChildrenOf(top).size(), 3u);
  const int deeper = model.FindFolder("deeper", model.FindFolder("deep", top));
  ASSERT_GT(deeper, 0);
  EXPECT_EQ(Labels(model, deeper), std::vector<std::string>{"z.txt"});
  EXPECT_EQ(scan.count, 4u)
      << "say \"hi\".txt, a\\b, q\"r and x\"y.txt; nothing below a folder passed over is looked at";

  // A file chosen by its path, and a folder whose own name is fine but whose
  // files' paths hold a quote.
  PassedOver chosen;
  EXPECT_EQ(model.InsertPath(quoted, 0, &chosen), 0);
  EXPECT_EQ(model.InsertPath(dir + "/top/ok.txt", 0, &chosen), top + 6);
  EXPECT_EQ(model.InsertPath(quotedDir, 0, &chosen), 0);
  EXPECT_EQ(chosen.count, 2u);
  EXPECT_EQ(chosen.first, quoted);
  EXPECT_EQ(model.NextIndex(), top + 7) << "nothing passed over takes an index";

  EXPECT_TRUE(LayoutModel::CanKeepFolderName("plain name"));
  EXPECT_FALSE(LayoutModel::CanKeepFolderName("a\\b"));
  EXPECT_FALSE(LayoutModel::CanKeepFolderName("a\"b"));
  EXPECT_TRUE(LayoutModel::CanKeepFilePath("/x/a\\b.txt"));
  EXPECT_FALSE(LayoutModel::CanKeepFilePath("/x\"/a.txt"));
}

}  // namespace

TEST(LayoutModelPaths, APathLongerThanTheSystemNamesIsTooLongNotMissing) {
  Recorder said;
  LayoutModel model(&said);
  said.said.clear();
  const std::string tooLong = "/tmp/" + std::string(5000, 'a');
  const std::string missing = "/tmp/no-such-" + std::string(100, 'b');
  EXPECT_EQ(model.InsertPath(tooLong, LayoutModel::TOP_LEVEL), 0);
  EXPECT_EQ(model.InsertPath(missing, LayoutModel::TOP_LEVEL), 0);
  EXPECT_EQ(said.said, (std::vector<std::string>{"too long " + tooLong, "cannot find " + missing}));
}
