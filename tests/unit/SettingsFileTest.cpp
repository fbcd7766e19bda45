// gui.ini: line 1 the image target (999 characters at most, else the
// default), line 2 three integers scanned as "%d %d %d".
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/SettingsFile.h"
#include "common/WholeFile.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string DIR = "/start/up";
const std::string DEFAULT_TARGET = "/start/up/image";

struct ParseCase {
  const char* name;
  std::string content;
  std::string target;
  std::optional<CheckStates> checks;
};

bool SameChecks(const std::optional<CheckStates>& a, const std::optional<CheckStates>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->viewPrompt == b->viewPrompt && a->keepExtension == b->keepExtension &&
                a->singleTrack == b->singleTrack);
}

}  // namespace

TEST(SettingsFile, ParsesLineOneAndTheThreeNumbers) {
  const std::string len999(999, 'a');
  const std::string len1000(1000, 'b');
  const ParseCase cases[] = {
      {"plain", "/img/disc\n1 0 1", "/img/disc", CheckStates{1, 0, 1}},
      {"empty first line", "\n1 1 1", "", CheckStates{1, 1, 1}},
      {"999 characters taken", len999 + "\n0 1 0", len999, CheckStates{0, 1, 0}},
      // The line feed after 1000 characters is the 1001st character read, so
      // the scan still finds the numbers behind it.
      {"1000 characters: default", len1000 + "\n1 1 1", DEFAULT_TARGET, CheckStates{1, 1, 1}},
      {"longer line: default, scan fails", std::string(1200, 'c') + "\n1 1 1", DEFAULT_TARGET,
       std::nullopt},
      {"no line feed: default", "/img/disc", DEFAULT_TARGET, std::nullopt},
      {"empty file", "", DEFAULT_TARGET, std::nullopt},
      {"CR LF", "/img/disc\r\n1 0 0\r\n", "/img/disc", CheckStates{1, 0, 0}},
      {"999 characters with CR LF", len999 + "\r\n1 0 0", len999, CheckStates{1, 0, 0}},
      {"only one CR stripped", "/img/disc\r\r\n0 0 1", "/img/disc\r", CheckStates{0, 0, 1}},
      {"CR alone stays", "/a\rb\n0 0 0", "/a\rb", CheckStates{0, 0, 0}},
      {"two numbers", "/img\n1 0", "/img", std::nullopt},
      {"no second line", "/img\n", "/img", std::nullopt},
      {"a word among the numbers", "/img\n1 x 1", "/img", std::nullopt},
      {"tabs and line ends", "/img\n \t1\t0\n\n 1", "/img", CheckStates{1, 0, 1}},
      {"no blanks needed after a number's end", "/img\n1 0 1junk", "/img", CheckStates{1, 0, 1}},
      {"values passed on unchanged", "/img\n2 -1 +7", "/img", CheckStates{2, -1, 7}},
      {"out of int range", "/img\n1 99999999999 1", "/img", std::nullopt},
      {"a long line's scan starts after 1001 characters", len1000 + "x1 1 1", DEFAULT_TARGET,
       CheckStates{1, 1, 1}},
  };
  for (const ParseCase& c : cases) {
    const Settings s = ParseSettings(c.content, DIR);
    EXPECT_EQ(s.imageTarget, c.target) << c.name;
    EXPECT_TRUE(SameChecks(s.checks, c.checks)) << c.name;
  }
}

TEST(SettingsFile, FormatIsTwoLinesWithoutAFinalLineEnd) {
  EXPECT_EQ(FormatSettings("/img/disc", CheckStates{1, 0, 1}), "/img/disc\n1 0 1");
  EXPECT_EQ(FormatSettings("", CheckStates{}), "\n0 0 0");
  EXPECT_EQ(DefaultImageTarget("/a/b"), "/a/b/image");
  EXPECT_EQ(DefaultImageTarget(""), "/image");
}

TEST(SettingsFile, WrittenFileReadsBackTheSame) {
  const TempFolder dir;
  const std::string ini = dir / "gui.ini";
  const std::string target = "/media/d\xe9j\xe0 vu/disc one";  // Latin-1 bytes kept as they are
  ASSERT_TRUE(SaveSettingsFile(ini, target, CheckStates{0, 1, 1}));
  std::string bytes;
  ASSERT_TRUE(ReadFileWhole(ini, bytes));
  EXPECT_EQ(bytes, target + "\n0 1 1");
  const Settings back = LoadSettingsFile(ini, "/elsewhere");
  EXPECT_EQ(back.imageTarget, target);
  EXPECT_TRUE(SameChecks(back.checks, CheckStates{0, 1, 1}));
}

TEST(SettingsFile, MissingFileGivesTheDefaults) {
  const Settings s = LoadSettingsFile("/nonexistent/dir/gui.ini", DIR);
  EXPECT_EQ(s.imageTarget, DEFAULT_TARGET);
  EXPECT_FALSE(s.checks.has_value());
}
