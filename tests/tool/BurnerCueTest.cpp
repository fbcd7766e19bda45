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
TocInfo cdrdaoTocInfo(const std::string& dir, const std::string& cue, std::string& output) {
  output = runCommand("cd " + shellQuote(dir) + " && cdrdao toc-info " + shellQuote(cue)).output;
  std::smatch m;
  TocInfo info;
  if (std::regex_search(output, m, std::regex(R"((\d+) tracks?, length (\d\d:\d\d:\d\d), (\d+) blocks)"))) {
    info.tracks = std::stoi(m[1]);
    info.length = m[2];
    info.blocks = std::stol(m[3]);
  }
  return info;
}

std::string msf(long blocks) {
  std::string text;
  for (long part : {blocks / 75 / 60, blocks / 75 % 60, blocks % 75}) {
    text += (text.empty() ? "" : ":") + std::string(part < 10 ? "0" : "") + std::to_string(part);
  }
  return text;
}

}  // namespace

TEST(BurnerCue, CdrdaoReadsTheTracksAndTheLengthWritten) {
  if (std::string m = missingProgram("cdrdao", "cdrdao"); !m.empty()) FAIL() << m;
  ScratchDir dir;
  writeFile(dir / "a.dat", patternBytes(100'000, 1));
  writeFile(dir / "b.mpg", patternBytes(300'000, 2));
  writeFile(dir / "c.mpg", patternBytes(50'001, 3));
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
    const ToolResult r = runTool(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(stat((dir / "disc.bin").c_str(), &st), 0);
    const long sectors = static_cast<long>(st.st_size / 2352);
    EXPECT_NE(r.out.find("written: " + std::to_string(sectors) + " sectors"), std::string::npos) << r.out;

    std::string output;
    const TocInfo toc = cdrdaoTocInfo(dir.path(), "disc.cue", output);
    EXPECT_EQ(toc.tracks, c.tracks) << output;
    EXPECT_EQ(toc.blocks, sectors) << output;
    EXPECT_EQ(toc.length, msf(sectors)) << output;
    EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  }
}

TEST(BurnerCue, HelpAndVersionAnswerOnStdoutWithStatusZero) {
  for (const auto& [option, answer] : {std::pair{"--help", usageText()}, {"--version", versionText()}}) {
    const ToolResult r = runTool({option});
    EXPECT_EQ(r.exitCode, 0) << option;
    EXPECT_EQ(r.out, answer) << option;
    EXPECT_EQ(r.err, "") << option;
    // An answer that cannot be written is not reported as success.
    const CommandResult full = runCommand(shellQuote(toolPath()) + " " + option + " > /dev/full");
    EXPECT_NE(full.exitCode, 0) << option;
  }
}
