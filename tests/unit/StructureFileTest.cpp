#include "common/StructureFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = StructureActionKind;

std::string Describe(const StructureAction& a) {
  static const char* const names[] = {"d", "e", "f", "m", "o", "s", "v", "x"};
  std::string out = names[static_cast<int>(a.kind)];
  if (a.kind == K::MakeFolder) {
    for (const auto& c : a.components) out += "[" + c + "]";
  } else if (a.kind != K::SetSingleTrack && a.kind != K::SetKeepExtension) {
    out += "<" + a.value + ">";
  }
  return out;
}

std::vector<std::string> Parsed(std::string_view text) {
  std::vector<std::string> out;
  for (const auto& a : ParseStructure(text)) out.push_back(Describe(a));
  return out;
}

TEST(StructureTokenizer, SkipsDelimiterRunsAndStaysEmptyAtTheEnd) {
  StructureTokenizer t("--o \"a b-c\"\"\" x");
  EXPECT_EQ(t.NextOption(), "o");
  EXPECT_EQ(t.NextValue(), "a b-c");
  // The closing quote was consumed: adjacent quotes never give an empty
  // value; the rest up to the next quote is the token.
  EXPECT_EQ(t.NextValue(), " x");
  EXPECT_EQ(t.NextOption(), "");
  EXPECT_EQ(t.NextValue(), "");
  EXPECT_EQ(t.NextOption(), "");
}

TEST(ParseStructure, TokensAreKnownByTheirFirstCharacterOnly) {
  struct Case {
    std::string_view text;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"-o \"C:\\discs\\demo\" -v \"DEMO\" -x -f \"C:\\docs\\readme.txt\" -d \"Video\" "
       "-m \"C:\\clips\\intro.avi\" -d \"Video\\Extra\" -f \"C:\\docs\\notes.txt\"",
       {"o<C:\\discs\\demo>", "v<DEMO>", "x", "f<C:\\docs\\readme.txt>", "d[Video]",
        "m<C:\\clips\\intro.avi>", "d[Video][Extra]", "f<C:\\docs\\notes.txt>"}},
      {"o \"\" v \"N\"", {"o< v >"}},  // two quotes are no empty value
      {"", {}},
      {"   - - ", {}},
      {"-isolevel1 -isolevel2 -s", {"s"}},
      {"-dir \"A\" -xyz -single", {"d[A]", "x", "s"}},
      {"-D \"A\" -X -S -q \"v\"", {}},  // upper case and unknown letters read no value
      {"-e \"AVI\" -s -x", {"e<AVI>", "s", "x"}},
      // Line breaks and stray text between elements are tokens of their own.
      {"-o \"/i\"\n-v \"V\"\r\n-f \"/a\"", {"o</i>", "v<V>", "f</a>"}},
      {"-o \"/i\"\nd \"B\"", {"o</i>"}},  // the line break hides the d
      {"junk -m \"/b\" 123\t-f \"/c\"", {"m</b>", "f</c>"}},
      // A value that is missing because the text ended reads as empty.
      {"-o", {"o<>"}},
      {"-d", {}},  // an empty folder name makes no folder
      {"-x -f \"", {"x", "f<>"}},
      // A value runs to the next quote, blanks and minus signs included.
      {"-v \"A - B\"", {"v<A - B>"}},
      // A value with no closing quote runs to the end.
      {"-f \"/a b", {"f</a b>"}},
      // The text ends at a NUL byte.
      {std::string_view("-f \"/a\0b\" -d \"X\"", 16), {"f</a>"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parsed(c.text), c.expected) << "text: " << c.text;
  }
}

TEST(ParseStructure, EmptyFolderNamesMakeNoFolder) {
  // Each would make a folder with an empty label, which the next Save writes
  // as -d "" and so shifts every entry after it.
  EXPECT_EQ(Parsed("-d \"q\\\" -f \"/a\""), (std::vector<std::string>{"d[q]", "f</a>"}));
  EXPECT_EQ(Parsed("-d \"a\\\\b\""), std::vector<std::string>{"d[a][b]"});
  EXPECT_EQ(Parsed("-d \"\\\" -x"), std::vector<std::string>{"x"});
  EXPECT_EQ(Parsed("-x -d"), std::vector<std::string>{"x"}) << "a value missing at the end";
  EXPECT_EQ(ParseStructure("-d \"\\a\\\\b\\\"").front().value, "a\\b") << "the value as made";
}

TEST(SplitFolderPath, EveryBackslashSplitsAndComponentsAreTakenWhole) {
  const std::string longName(300, 'n');
  struct Case {
    std::string value;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"", {""}},
      {"Video", {"Video"}},
      {"Video\\Extra\\Deep", {"Video", "Extra", "Deep"}},
      {"A\\\\B", {"A", "", "B"}},
      {"\\A\\", {"", "A", ""}},
      {"Top\\" + longName, {"Top", longName}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitFolderPath(c.value), c.expected) << "value: " << c.value;
  }
}

}  // namespace
