// The file dialogs' filter texts and their wx wildcard form.
#include <gtest/gtest.h>

#include "app/FileFilter.h"

TEST(FileFilter, WildcardsInWxForm) {
  struct Case {
    const char* filter;
    const char* wildcard;
  };
  const Case cases[] = {
      {STRUCTURE_FILTER, "kbv structure|*.[kK][bB][vV]"},
      {CHOOSER_FILTER, "Write a name WITHOUT EXTENSION|*"},
      {"", ""},
      {"A|*.a;;*.B1;||", "A|*.[aA];*.[Bb]1"},
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
