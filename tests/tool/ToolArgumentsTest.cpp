#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ToolTestSupport.h"
#include "common/StructureFile.h"
#include "tool/ToolArguments.h"

TEST(ToolArguments, WorkedExampleInOrder) {
  const auto parsed = ParseToolArguments({"-o", "/img/disc", "-v", "BRENVOX", "-e", "dat", "-x", "-isolevel1",
                                          "-f", "/src/a.txt", "-d", "VIDEO", "-m", "/src/m.mpg", "-d", "VIDEO\\SUB"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const ToolOptions& o = *parsed.options;
  EXPECT_EQ(o.target, "/img/disc");
  EXPECT_EQ(o.volume, "BRENVOX");
  EXPECT_EQ(o.form2Extension, "dat");
  EXPECT_TRUE(o.keepExtension);
  EXPECT_FALSE(o.singleTrack);
  EXPECT_EQ(o.isoLevel, IsoLevel::Level1);
  ASSERT_EQ(o.entries.size(), 4u);
  EXPECT_EQ(o.entries[0].kind, EntryKind::Form1File);
  EXPECT_EQ(o.entries[1].kind, EntryKind::Folder);
  EXPECT_EQ(o.entries[2].kind, EntryKind::Form2File);
  EXPECT_EQ(o.entries[2].value, "/src/m.mpg");
  EXPECT_EQ(o.entries[3].value, "VIDEO\\SUB");
}

TEST(ToolArguments, ValuesAreTakenVerbatimEvenWhenTheyLookLikeOptions) {
  const auto parsed = ParseToolArguments({"-o", "-x", "-v", "a \"b\" c", "-f", "-s", "-isolevel2", "-s"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->target, "-x");
  EXPECT_EQ(parsed.options->volume, "a \"b\" c");
  EXPECT_EQ(parsed.options->entries.at(0).value, "-s");
  EXPECT_TRUE(parsed.options->singleTrack);
  EXPECT_EQ(parsed.options->isoLevel, IsoLevel::Level2);
}

TEST(ToolArguments, UsageErrors) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{}, "no image target"},
      {{"-f", "a.txt"}, "no image target"},
      {{"-o", ""}, "no image target"},
      {{"-o", "x", "-q"}, "unknown option '-q'"},
      {{"-o", "x", "stray"}, "unknown option 'stray'"},
      {{"-o", "x", "-f"}, "-f needs a value"},
      {{"-o"}, "-o needs a value"},
      {{"-o", "x", "-d"}, "-d needs a value"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseToolArguments(c.args);
    EXPECT_FALSE(parsed.options);
    EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
  }
}

namespace {

std::string ArgumentFile(const ScratchDir& dir, const std::string& name, const std::string& text) {
  WriteFile(dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
  return std::string("@").append(dir / name);
}

}  // namespace

TEST(ToolArgumentFile, HoldsTheEntriesAsASavedLayoutDoes) {
  ScratchDir dir;
  // As Save writes it: no leading blank, values quoted, blanks and minus signs inside values kept.
  const std::string at = ArgumentFile(dir, "disc.kbv",
                                      "-o \"/img/my disc\" -v \"BREN VOX\" -e \"dat\" -x -s -isolevel2 "
                                      "-f \"/src/a - b.txt\" -d \"VIDEO\" -m \"/src/-m.mpg\" -d \"VIDEO\\SUB\"");
  const auto parsed = ParseToolArguments({at});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const ToolOptions& o = *parsed.options;
  EXPECT_EQ(o.target, "/img/my disc");
  EXPECT_EQ(o.volume, "BREN VOX");
  EXPECT_EQ(o.form2Extension, "dat");
  EXPECT_TRUE(o.keepExtension);
  EXPECT_TRUE(o.singleTrack);
  EXPECT_EQ(o.isoLevel, IsoLevel::Level2);
  ASSERT_EQ(o.entries.size(), 4u);
  EXPECT_EQ(o.entries[0].value, "/src/a - b.txt");
  EXPECT_EQ(o.entries[2].kind, EntryKind::Form2File);
  EXPECT_EQ(o.entries[2].value, "/src/-m.mpg");
  EXPECT_EQ(o.entries[3].value, "VIDEO\\SUB");

  // Mixed with arguments, in their places; a value is never expanded; one entry a line works too.
  const std::string more = ArgumentFile(dir, "more.kbv", "-f \"/src/b.txt\"\n-isolevel1\r\n-d \"X\"\n");
  const auto mixed = ParseToolArguments({"-o", "@target", more, "-f", "@c.txt"});
  ASSERT_TRUE(mixed.options) << mixed.error;
  EXPECT_EQ(mixed.options->target, "@target");
  EXPECT_EQ(mixed.options->isoLevel, IsoLevel::Level1);
  ASSERT_EQ(mixed.options->entries.size(), 3u);
  EXPECT_EQ(mixed.options->entries[0].value, "/src/b.txt");
  EXPECT_EQ(mixed.options->entries[1].value, "X");
  EXPECT_EQ(mixed.options->entries[2].value, "@c.txt");
}

TEST(ToolArgumentFile, UsageErrors) {
  ScratchDir dir;
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"-o \"x\" -q", "unknown option '-q'"},
      {"-o \"x\" -f", "option -f in argument file"},
      {"-o \"x\" -f \"", "option -f in argument file"},
      {"-o \"x\" @other", "unknown option '-@other'"},
      {"", "no image target"},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseToolArguments({ArgumentFile(dir, "bad.kbv", c.text)});
    EXPECT_FALSE(parsed.options) << c.text;
    EXPECT_NE(parsed.error.find(c.error), std::string::npos) << c.text << ": " << parsed.error;
  }
  const auto missing = ParseToolArguments({std::string("@").append(dir / "gone.kbv")});
  EXPECT_FALSE(missing.options);
  EXPECT_NE(missing.error.find("cannot read argument file " + dir / "gone.kbv" + ": No such file"), std::string::npos)
      << missing.error;
  // A device or a folder is not read at all: /dev/zero would never end.
  for (const std::string& path : {std::string("/dev/zero"), dir.Path()}) {
    const auto endless = ParseToolArguments({"@" + path});
    EXPECT_NE(endless.error.find("cannot read argument file " + path + ": it is not a regular file"),
              std::string::npos) << endless.error;
  }
}

// Read as Load reads a layout: only what opens as a regular file of at most a
// layout's size (a file with no name, as /dev/fd/N, too), its text ending at a
// NUL byte. (A device and a huge file, under a memory limit: BoundedReadTest.)
TEST(ToolArgumentFile, IsReadOnlyFromARegularFileUpToItsFirstNul) {
  ScratchDir dir;
  const auto parsed = ParseToolArguments({ArgumentFile(dir, "nul.kbv", std::string("-o \"x\" -f \"a\"") + '\0' + "-q")});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->entries.size(), 1u);

  const int unnamed = ::open(dir.Path().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_GE(unnamed, 0);
  const std::string text = "-o \"y\" -d \"D\"";
  ASSERT_EQ(::write(unnamed, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  const auto fromFd = ParseToolArguments({"@/dev/fd/" + std::to_string(unnamed)});
  ::close(unnamed);
  ASSERT_TRUE(fromFd.options) << fromFd.error;
  EXPECT_EQ(fromFd.options->target, "y");

  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  const std::string over = dir / "over.kbv";
  WriteFile(over, {});
  ASSERT_EQ(::truncate(over.c_str(), static_cast<off_t>(MAX_STRUCTURE_FILE_BYTES + 1)), 0);
  const std::pair<std::string, std::string> refused[] = {
      {dir.Path(), "it is not a regular file"},
      {"/dev/fd/" + std::to_string(ends[0]), "it is not a regular file"},  // a pipe: no waiting for a writer
      {over, "it is larger than a layout may be (256 MiB)"},
  };
  for (const auto& [path, cause] : refused) {
    const auto result = ParseToolArguments({"@" + path});
    EXPECT_FALSE(result.options) << path;
    EXPECT_EQ(result.error, "cannot read argument file " + path + ": " + cause);
  }
  ::close(ends[0]);
  ::close(ends[1]);
}

TEST(ToolArguments, HelpAndVersionOnlyWhereAnOptionStands) {
  const struct {
    std::vector<std::string> args;
    std::optional<std::string> answer;
  } cases[] = {
      {{"--help"}, UsageText()},
      {{"--version"}, VersionText()},
      {{"-o", "x", "-s", "--help"}, UsageText()},
      {{"--version", "--help"}, VersionText()},
      {{"-f", "--help"}, std::nullopt},  // a file named --help
      {{"-o", "--version", "-d", "--help"}, std::nullopt},
      {{"-o", "x", "-help"}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(InformationRequest(c.args), c.answer) << c.args.size();
  EXPECT_EQ(VersionText().rfind("brenvox.exe ", 0), 0u);
  EXPECT_EQ(VersionText().back(), '\n');
}
