// The tool's entries built from the layout model: the order of the entries,
// folders' in-image paths, the sizes and the first missing file. Files enter
// the model from disk (empty files in a temporary folder); the build looks
// them up in a table, which gives their sizes and takes some away.
#include "image/BuildEntries.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class BuildEntriesTest : public ::testing::Test {
 protected:

  // A file of the given size to the build, and its path.
  std::string File(const std::string& name, int parent = 0, std::uint64_t size = 0,
                   bool form2 = false) {
    const std::string path = dir + "/" + name;
    std::ofstream(path).put('x');
    const int index = model.InsertPath(path, parent);
    EXPECT_GT(index, 0) << path;
    model.SetForm2(index, form2);
    disk[path] = DiskEntry{DiskKind::File, size, 0, 0};
    return path;
  }
  int Folder(const std::string& name, int parent = 0) { return model.InsertFolder(name, parent); }
  EntryBuild Build(const CommandSettings& settings = {}) {
    return BuildEntries(model, settings, [this](const std::string& path) -> std::optional<DiskEntry> {
      const auto found = disk.find(path);
      if (found == disk.end()) return std::nullopt;
      return found->second;
    });
  }

  TempFolder temp;
  const std::string dir = temp.Path();
  std::map<std::string, DiskEntry> disk;
  LayoutModel model;
};

TEST_F(BuildEntriesTest, WorkedExampleEntryForEntry) {
  CommandSettings settings;
  settings.imagePath = "/img/disc";
  settings.volumeName = "BRENVOX";
  settings.form2Ext = "dat";
  settings.keepExtension = true;
  settings.isoLevelIndex = 1;
  const std::string a = File("a.txt", 0, 5);
  const int video = Folder("VIDEO");
  Folder("SUB", video);
  const std::string m = File("m.mpg", video, 3000, true);

  const EntryBuild build = Build(settings);
  ASSERT_EQ(build.status, EntryBuildStatus::Built);
  EXPECT_EQ(RenderOptionString(build.entries),
            " -o \"/img/disc\" -v \"BRENVOX\" -e \"dat\" -x -isolevel1 -f \"" + a +
                "\" -d \"VIDEO\" -m \"" + m + "\" -d \"VIDEO\\SUB\"");
  EXPECT_EQ(build.totalSize, 3005);
}

TEST_F(BuildEntriesTest, FilesComeBeforeSubFoldersAndRenamedFoldersNameTheirPaths) {
  const int a = Folder("A");
  const int b = Folder("B", a);
  const std::string f1 = File("f1", a);
  const int c = Folder("C", b);
  const std::string f2 = File("f2", b);
  Folder("Empty", a);
  const std::string f3 = File("f3", c);
  const std::string top = File("top", 0, 1);  // after the folders in the layout, first in the string
  model.Rename(b, "Bee");
  model.SetForm2(a, true);  // a folder's own mark reaches no file

  const EntryBuild build = Build();
  ASSERT_EQ(build.status, EntryBuildStatus::Built);
  EXPECT_EQ(RenderOptionString(build.entries),
            " -f \"" + top + "\" -d \"A\" -f \"" + f1 + "\" -d \"A\\Bee\" -f \"" + f2 +
                "\" -d \"A\\Bee\\C\" -f \"" + f3 + "\" -d \"A\\Empty\"");
}

TEST_F(BuildEntriesTest, FolderNamesAndPathsAreCopiedByteForByte) {
  const std::string name = "caf\xe9 \"q\" \\x";  // not UTF-8, a quote and a backslash
  const int folder = Folder(name);
  Folder("in", folder);
  const EntryBuild build = Build();
  ASSERT_EQ(build.status, EntryBuildStatus::Built);
  ASSERT_EQ(build.entries.size(), 2u);
  EXPECT_EQ(build.entries[0].value, name);
  EXPECT_EQ(build.entries[1].value, name + "\\in");
}

TEST_F(BuildEntriesTest, TheFirstMissingFileInEntryOrderStopsTheBuild) {
  const int a = Folder("A");
  const int b = Folder("B", a);
  const int c = Folder("C", b);
  File("here.txt", a);
  const std::string gone = File("gone.txt", c);
  const std::string alsoGone = File("also.txt", c);
  const std::string later = File("later.txt", Folder("Z"));
  disk.erase(gone);
  disk.erase(alsoGone);
  disk.erase(later);
  EntryBuild build = Build();
  EXPECT_EQ(build.status, EntryBuildStatus::Missing);
  EXPECT_EQ(build.missingPath, gone);

  // A folder where a file was is missing too.
  disk[gone] = DiskEntry{DiskKind::Folder, 0, 0, 0};
  disk[alsoGone] = DiskEntry{DiskKind::File, 0, 0, 0};
  build = Build();
  EXPECT_EQ(build.status, EntryBuildStatus::Missing);
  EXPECT_EQ(build.missingPath, gone);
}

// The files of the layout looked up on disk, each size at its item's index;
// a folder, an item no longer in the layout and a file gone from disk have none.
TEST_F(BuildEntriesTest, LayoutFilesAreLookedUpOnDiskByIndex) {
  File("a.txt");                                      // index 1
  const int folder = Folder("F");                      // 2
  const std::string gone = File("gone.txt", folder);   // 3
  File("removed.txt");                                 // 4
  const std::string kept = File("kept.txt", folder);   // 5
  std::ofstream(kept) << "12345";
  fs::remove(gone);
  model.Remove(4);
  const std::vector<std::uint64_t> sizes = LookUpLayoutFiles(model);
  const std::vector<std::uint64_t> expected = {NOT_A_FILE, 1, NOT_A_FILE, NOT_A_FILE, NOT_A_FILE, 5};
  EXPECT_EQ(sizes, expected);
}

TEST_F(BuildEntriesTest, AnEmptyLayoutGivesOnlyTheSettings) {
  CommandSettings settings;
  settings.volumeName = "V";
  const EntryBuild build = Build(settings);
  EXPECT_EQ(build.status, EntryBuildStatus::Empty);
  EXPECT_EQ(RenderOptionString(build.entries), " -v \"V\"");
}

// Each "-d" value holds the whole in-image path, so the string grows with the
// square of the depth: 5,000 levels stand for a deep layout.
TEST_F(BuildEntriesTest, SizesAddUpPast32BitsAndDeepNestingIsWalked) {
  File("big1", 0, std::uint64_t{5} << 30);
  File("big2", 0, (std::uint64_t{3} << 30) + 7);
  int parent = 0;
  for (int depth = 0; depth < 5000; ++depth) parent = Folder("d", parent);
  const std::string deepest = File("deepest", parent, 1);
  const EntryBuild build = Build();
  ASSERT_EQ(build.status, EntryBuildStatus::Built);
  EXPECT_EQ(build.totalSize, (std::int64_t{8} << 30) + 8);
  const std::vector<std::uint64_t> sizes = {std::uint64_t{5} << 30, (std::uint64_t{3} << 30) + 7, 1};
  EXPECT_EQ(build.fileSizes, sizes) << "one per file, in entry order";
  ASSERT_EQ(build.entries.size(), 2u + 5000u + 1u);
  EXPECT_EQ(build.entries[2 + 4999].value.size(), 5000u * 2 - 1);
  EXPECT_EQ(build.entries.back().value, deepest);
}

}  // namespace
