// The file dialogs: what each command asks for, what each filter lists, and
// the filters' wx wildcard form.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ChooserRequests.h"
#include "common/FileFilter.h"

namespace {

// The first entry of a wx wildcard ("desc|pat;pat|desc|pat") whose patterns
// let the file name through, as the file dialog filters; -1 when none does.
int EntryShowing(const std::string& wildcard, const std::string& name) {
  std::vector<std::string> parts(1);
  for (char c : wildcard) {
    if (c == '|') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  for (std::size_t i = 1; i < parts.size(); i += 2) {
    std::size_t start = 0;
    while (start <= parts[i].size()) {
      const std::size_t end = std::min(parts[i].find(';', start), parts[i].size());
      const std::string pattern = parts[i].substr(start, end - start);
      if (pattern.empty()) return -2;  // an empty pattern would reach the dialog
      if (::fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return static_cast<int>(i / 2);
      start = end + 1;
    }
  }
  return -1;
}

}  // namespace

TEST(FileFilter, EachDialogListsTheFilesItsEntriesName) {
  struct Case {
    const char* filter;
    const char* name;
    int entry;  // the filter entry that lists the file; -1: none
  };
  const Case cases[] = {
      {STRUCTURE_FILTER, "disc.kbv", 0},  {STRUCTURE_FILTER, "disc.txt", -1},
      {CHOOSER_FILTER, "disc.bin", 0},    {MEDIA_FILTER, "clip.ogm", 0},
      {MEDIA_FILTER, "clip.avi", 0},      {MEDIA_FILTER, "clip.mpg", 0},
      {MEDIA_FILTER, "clip.mpeg", 0},     {MEDIA_FILTER, "clip.rm", 0},
      {MEDIA_FILTER, "clip.rmvb", 0},     {MEDIA_FILTER, "song.ogg", 1},
      {MEDIA_FILTER, "song.mp3", 1},      {MEDIA_FILTER, "song.wav", 1},
      {MEDIA_FILTER, "song.ac3", 1},      {MEDIA_FILTER, "notes.txt", 2},
      // Letters of any case, and names without a dot under All Files.
      {MEDIA_FILTER, "UP.AVI", 0},        {MEDIA_FILTER, "movie.MPEG", 0},
      {MEDIA_FILTER, "x.Mp3", 1},         {STRUCTURE_FILTER, "LAYOUT2.KBV", 0},
      {MEDIA_FILTER, "README", 2},        {CHOOSER_FILTER, "README", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryShowing(ToWxWildcard(c.filter), c.name), c.entry) << c.filter << " " << c.name;
  }
  EXPECT_EQ(ParseFilter(MEDIA_FILTER).size(), 3u) << "video, audio, all files";
}

TEST(FileFilter, TheWxFormDropsEmptyPatternsAndTheClosingBars) {
  EXPECT_EQ(ToWxWildcard(""), "");
  EXPECT_EQ(ToWxWildcard("A|*.a;;*.B1;||"), "A|*.[aA];*.[Bb]1");
  EXPECT_EQ(ToWxWildcard("A|*.a|B|*.b||ignored|*.c"), "A|*.[aA]|B|*.[bB]");
}

TEST(FileFilter, DefaultExtensionOnlyForNamesWithoutOne) {
  struct Case {
    const char* path;
    const char* ext;
    const char* result;
  };
  const Case cases[] = {
      {"/home/u/layout", "kbv", "/home/u/layout.kbv"},
      {"/home/u/layout.kbv", "kbv", "/home/u/layout.kbv"},
      {"/home/u/layout.txt", "kbv", "/home/u/layout.txt"},
      {"/home/u.d/layout", "kbv", "/home/u.d/layout.kbv"},
      {"/home/u/disc", "", "/home/u/disc"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithDefaultExtension(c.path, c.ext), c.result) << c.path;
}

namespace {

// The dialog a request opens: its mode (a save: what "/d/name" is saved as),
// its title and the patterns of its first filter entry.
std::string Shown(const FileDialogRequest& r) {
  const std::vector<FilterEntry> filter = ParseFilter(r.filter);
  return (r.openMode ? std::string(r.multiple ? "open several" : "open one") + (r.mustExist ? "" : " or new")
                     : "save as " + WithDefaultExtension("/d/name", r.defaultExtension)) +
         " |" + r.title + "| " + (filter.empty() ? "*" : filter[0].patterns);
}

}  // namespace

TEST(ChooserRequests, EachCommandAsksForItsOwnKindOfFile) {
  EXPECT_EQ(Shown(AddFilesRequest(false)), "open several |Open Files (Form1)| *");
  EXPECT_EQ(Shown(AddFilesRequest(true)),
            "open several |Open Video/Audio Files (Form2)| *.ogm;*.avi;*.mpg;*.mpeg;*.rm;*.rmvb");
  EXPECT_EQ(Shown(StructureFileRequest(true)), "open one || *.kbv");
  EXPECT_EQ(Shown(StructureFileRequest(false)), "save as /d/name.kbv || *.kbv");
  EXPECT_EQ(Shown(ImageTargetRequest()), "save as /d/name || *.*");
}
