// The cue sheet as burning programs read it: cdrdao takes the image's .cue
// and must see the tracks and the length the tool wrote. Plus the two
// answers that write no image, --help and --version.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "ToolTestSupport.h"
#include "tool/CueSheet.h"
#include "tool/ImagePlanner.h"
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

// Track times past the first minute: every INDEX is minutes, seconds below 60
// and frames below 75, and names the very sector the plan gives. The sizes
// are given to the planner, so no large file is needed.
TEST(BurnerCue, TrackTimesPastAMinuteAreMinutesSecondsAndFrames) {
  std::vector<std::string> args = {"-o", "/nowhere/disc", "-f", "/in/data.txt"};
  for (int i = 0; i < 4; ++i) args.insert(args.end(), {"-m", "/in/clip" + std::to_string(i) + ".mpg"});
  const auto options = ParseToolArguments(args).options;
  ASSERT_TRUE(options);
  const InputLookUp sizes = [](const std::string& path, InputFile& found) -> Status {
    found.size = path == "/in/data.txt" ? 3'000'000 : 9'000'000 + path.size() * 77'777;  // about 52 s each
    return std::nullopt;
  };
  PlannedImage planned;
  ASSERT_FALSE(PlanImageTree(*options, sizes, planned));
  std::vector<std::uint32_t> marks;  // the sectors of the INDEX lines, in order
  for (const TrackMark& track : planned.plan.tracks) {
    if (track.index00) marks.push_back(*track.index00);
    marks.push_back(track.index01);
  }
  ASSERT_GE(marks.back(), 3u * 60 * 75) << "the last track starts past three minutes";
  const std::string cue = CueSheetText("disc.bin", planned.plan);
  const std::regex index(R"(INDEX \d\d (\d\d):(\d\d):(\d\d)\n)");
  std::size_t n = 0;
  for (auto it = std::sregex_iterator(cue.begin(), cue.end(), index); it != std::sregex_iterator(); ++it, ++n) {
    const int minutes = std::stoi((*it)[1]), seconds = std::stoi((*it)[2]), frames = std::stoi((*it)[3]);
    EXPECT_LT(seconds, 60) << it->str();
    EXPECT_LT(frames, 75) << it->str();
    ASSERT_LT(n, marks.size()) << cue;
    EXPECT_EQ(static_cast<std::uint32_t>((minutes * 60 + seconds) * 75 + frames), marks[n]) << it->str();
  }
  EXPECT_EQ(n, marks.size()) << cue;
}
