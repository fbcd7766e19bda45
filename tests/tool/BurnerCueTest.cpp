// The cue sheet as burning programs read it: cdrdao takes the image's .cue
// and must see the tracks and the length the tool wrote. Plus the two
// answers that write no image, --help and --version.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "ToolTestSupport.h"
#include "tool/ToolArguments.h"

namespace {

struct TocInfo {
  int tracks = -1;
  std::string length;  // mm:ss:ff
  long blocks = -1;
};

// cdrdao's one-line summary of a cue sheet. It finds the .bin relative to its
// current directory, as the sheet names it, so it runs in the image's folder.
TocInfo CdrdaoTocInfo(const std::string& dir, const std::string& cue, std::string& output) {
  output = RunCommand("cd " + ShellQuote(dir) + " && cdrdao toc-info " + ShellQuote(cue)).output;
  std::smatch m;
  TocInfo info;
  if (std::regex_search(output, m, std::regex(R"((\d+) tracks?, length (\d\d:\d\d:\d\d), (\d+) blocks)"))) {
    info.tracks = std::stoi(m[1]);
    info.length = m[2];
    info.blocks = std::stol(m[3]);
  }
  return info;
}

std::string Msf(long blocks) {
  std::string text;
  for (long part : {blocks / 75 / 60, blocks / 75 % 60, blocks % 75}) {
    if (!text.empty()) text += ':';
    if (part < 10) text += '0';
    text += std::to_string(part);
  }
  return text;
}

}  // namespace

TEST(BurnerCue, CdrdaoReadsTheTracksAndTheLengthWritten) {
  if (std::string m = MissingProgram("cdrdao", "cdrdao"); !m.empty()) FAIL() << m;
  ScratchDir dir;
  WriteFile(dir / "a.dat", PatternBytes(100'000, 1));
  WriteFile(dir / "b.mpg", PatternBytes(300'000, 2));
  WriteFile(dir / "c.mpg", PatternBytes(50'001, 3));
  const struct {
    std::vector<std::string> options;
    int tracks;
  } cases[] = {
      {{}, 3},      // the data track, then one track per Form 2 file
      {{"-s"}, 1},  // everything in the data track
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"-o", dir / "disc", "-f", dir / "a.dat", "-m", dir / "b.mpg",
                                     "-d", "V", "-m", dir / "c.mpg"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolResult r = RunTool(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(stat((dir / "disc.bin").c_str(), &st), 0);
    const long sectors = static_cast<long>(st.st_size / 2352);
    EXPECT_NE(r.out.find("written: " + std::to_string(sectors) + " sectors"), std::string::npos) << r.out;

    std::string output;
    const TocInfo toc = CdrdaoTocInfo(dir.Path(), "disc.cue", output);
    EXPECT_EQ(toc.tracks, c.tracks) << output;
    EXPECT_EQ(toc.blocks, sectors) << output;
    EXPECT_EQ(toc.length, Msf(sectors)) << output;
    EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  }
}

TEST(BurnerCue, HelpAndVersionAnswerOnStdoutWithStatusZero) {
  for (const auto& [option, answer] : {std::pair{"--help", UsageText()}, {"--version", VersionText()}}) {
    const ToolResult r = RunTool({option});
    EXPECT_EQ(r.exitCode, 0) << option;
    EXPECT_EQ(r.out, answer) << option;
    EXPECT_EQ(r.err, "") << option;
    // An answer that cannot be written is not reported as success.
    const CommandResult full = RunCommand(ShellQuote(ToolPath()) + " " + option + " > /dev/full");
    EXPECT_NE(full.exitCode, 0) << option;
  }
}
