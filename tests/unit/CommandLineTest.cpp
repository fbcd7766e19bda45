#include "common/CommandLine.h"

#include <gtest/gtest.h>

namespace {

CommandEntry V(const char* option, const char* value) { return {option, true, value}; }
CommandEntry F(const char* option) { return {option, false, {}}; }

// The settings of the worked example, and its layout entries after them.
CommandLine WorkedExample() {
  CommandSettings settings;
  settings.imagePath = "/img/disc";
  settings.volumeName = "BRENVOX";
  settings.form2Ext = "dat";
  settings.keepExtension = true;
  settings.isoLevelIndex = 1;
  CommandLine entries;
  AppendSettingsEntries(settings, entries);
  entries.push_back(V("-f", "/src/a.txt"));
  entries.push_back(V("-d", "VIDEO"));
  entries.push_back(V("-m", "/src/m.mpg"));
  entries.push_back(V("-d", "VIDEO\\SUB"));
  return entries;
}

const char* const WORKED_STRING =
    " -o \"/img/disc\" -v \"BRENVOX\" -e \"dat\" -x -isolevel1 -f \"/src/a.txt\""
    " -d \"VIDEO\" -m \"/src/m.mpg\" -d \"VIDEO\\SUB\"";

TEST(CommandLine, SettingsEntriesInTheirFixedOrder) {
  struct Case {
    CommandSettings settings;
    std::string expected;
  };
  const Case cases[] = {
      {{}, ""},
      {{"/i", "V", "dat", true, true, 2}, " -o \"/i\" -v \"V\" -e \"dat\" -x -s -isolevel2"},
      {{"", "", "", false, true, 1}, " -s -isolevel1"},
      {{"", "", "e", false, false, 0}, " -e \"e\""},
      {{"", "", "", false, false, -1}, ""},  // no selection
      {{"", "", "", false, false, 3}, ""},
  };
  for (const Case& c : cases) {
    CommandLine entries;
    AppendSettingsEntries(c.settings, entries);
    EXPECT_EQ(RenderOptionString(entries), c.expected);
  }
}

TEST(CommandLine, WorkedExampleRendersEveryForm) {
  const CommandLine entries = WorkedExample();
  EXPECT_EQ(RenderOptionString(entries), WORKED_STRING);
  EXPECT_EQ(RenderBatchFile(entries), std::string("brenvox.exe") + WORKED_STRING);
  EXPECT_EQ(RenderStructureFile(entries), std::string(WORKED_STRING).substr(1));
  const std::vector<std::string> args = {
      "-o", "/img/disc", "-v", "BRENVOX", "-e", "dat", "-x", "-isolevel1", "-f", "/src/a.txt",
      "-d", "VIDEO", "-m", "/src/m.mpg", "-d", "VIDEO\\SUB"};
  EXPECT_EQ(RenderArguments(entries), args);
}

TEST(CommandLine, ValuesAreCopiedUnchanged) {
  const std::string longPath = "/" + std::string(300, 'p');
  const CommandLine entries = {V("-v", "A\"B"), V("-f", "/a b/\xe9t\xe9.txt"), V("-o", longPath.c_str())};
  EXPECT_EQ(RenderOptionString(entries),
            " -v \"A\"B\" -f \"/a b/\xe9t\xe9.txt\" -o \"" + longPath + "\"");
  EXPECT_EQ(RenderArguments(entries)[1], "A\"B");
  EXPECT_EQ(RenderArguments(entries)[5], longPath);
}

TEST(CommandLine, EmptyListRendersEmpty) {
  EXPECT_EQ(RenderOptionString({}), "");
  EXPECT_EQ(RenderStructureFile({}), "");
  EXPECT_EQ(RenderBatchFile({}), "brenvox.exe");
}

TEST(CommandLine, ViewShowsTruncatedKilobytes) {
  const CommandLine entries = {F("-x")};
  struct Case {
    std::int64_t bytes;
    const char* kb;
  };
  const Case cases[] = {{0, "0"},       {1023, "0"},           {1024, "1"},
                        {2047, "1"},    {2048, "2"},           {std::int64_t{5} << 30, "5242880"}};
  for (const Case& c : cases) {
    EXPECT_EQ(RenderCommandLineView(entries, c.bytes),
              std::string(" -x\n\nTOTAL ESTIMATED SIZE : ") + c.kb + " Kb")
        << c.bytes;
  }
}

}  // namespace

namespace {

TEST(CommandLine, TheFirstValueAShellWouldNotTakeAsTextIsFound) {
  CommandLine entries = WorkedExample();
  EXPECT_EQ(FirstShellExpandedValue(entries), std::nullopt);
  entries.push_back(V("-d", "VIDEO\\what?*[]&;|<>'!#~"));  // all literal between double quotes
  EXPECT_EQ(FirstShellExpandedValue(entries), std::nullopt);
  entries.push_back(V("-f", "/src/clip$(touch X).mpg"));
  entries.push_back(V("-f", "/src/`touch Y`.mpg"));
  EXPECT_EQ(FirstShellExpandedValue(entries), "/src/clip$(touch X).mpg");
  entries.erase(entries.end() - 2);
  EXPECT_EQ(FirstShellExpandedValue(entries), "/src/`touch Y`.mpg");
  EXPECT_EQ(FirstShellExpandedValue({V("-v", "A\"B")}), "A\"B") << "a quote ends the quoting";
  EXPECT_EQ(FirstShellExpandedValue({F("-x"), V("-o", "/img/$HOME")}), "/img/$HOME");
}

}  // namespace
