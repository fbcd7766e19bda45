// The file dialogs' filter texts and their wx wildcard form.
#include <gtest/gtest.h>

#include "app/FileFilter.h"

TEST(FileFilter, WildcardsInWxForm) {
  struct Case {
    const char* filter;
    const char* wildcard;
  };
  const Case cases[] = {
      {STRUCTURE_FILTER, "kbv structure|*.kbv"},
      {CHOOSER_FILTER, "Write a name WITHOUT EXTENSION|*.*"},
      {MEDIA_FILTER,
       "Video (ogm; avi; mpg; mpeg; rm; rmvb)|*.ogm;*.avi;*.mpg;*.mpeg;*.rm;*.rmvb|"
       "Audio (ogg; mp3; wav; ac3)|*.ogg;*.mp3;*.wav;*.ac3|All Files (*.*)|*.*"},
      {"", ""},
      {"A|*.a;;*.b;||", "A|*.a;*.b"},
  };
  for (const Case& c : cases) EXPECT_EQ(ToWxWildcard(c.filter), c.wildcard) << c.filter;
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
