// The plain units' texts with a catalog installed: a translation may put the
// placeholders in another order, a count picks one of the language's plural
// forms (three here, as Slavic languages have), and a text the catalog lacks
// stays English.
#include "common/Translate.h"
#include "image/DiscFit.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::optional<std::string> FakeText(const char* text) {
  if (std::strcmp(text, "%s - %s longer than a %d-min CD") == 0) return "%1$s | CD %3$d min + %2$s";
  return std::nullopt;
}

std::optional<std::string> FakePlural(const char* one, const char*, unsigned long count) {
  if (std::strcmp(one, "%s - %zu name changes") != 0) return std::nullopt;
  const unsigned long form = count % 10 == 1 && count % 100 != 11 ? 0
                             : count % 10 >= 2 && count % 10 <= 4 && (count % 100 < 10 || count % 100 >= 20) ? 1
                                                                                                              : 2;
  static const char* const forms[] = {"%s [%zu: one]", "%s [%zu: few]", "%s [%zu: many]"};
  return forms[form];
}

class Translate : public testing::Test {
 protected:
  void SetUp() override { SetTranslators(FakeText, FakePlural); }
  void TearDown() override { SetTranslators(nullptr, nullptr); }
};

TEST_F(Translate, ReorderedPlaceholdersPluralFormsAndEnglishForTheRest) {
  const std::string head = "Image: 460000 sectors, 1081.9 MB, 102:13";  // not in the catalog
  EXPECT_EQ(ImageSizeLine(460000, 0), head + " | CD 99 min + 02:16");
  EXPECT_EQ(ImageSizeLine(460000, 1), head + " | CD 99 min + 02:16 [1: one]");
  EXPECT_EQ(ImageSizeLine(460000, 3), head + " | CD 99 min + 02:16 [3: few]");
  EXPECT_EQ(ImageSizeLine(460000, 12), head + " | CD 99 min + 02:16 [12: many]");
  EXPECT_EQ(ImageSizeLine(460000, 22), head + " | CD 99 min + 02:16 [22: few]");
  SetTranslators(nullptr, nullptr);
  EXPECT_EQ(ImageSizeLine(460000, 1), head + " - 02:16 longer than a 99-min CD - 1 name changes");
}

}  // namespace
