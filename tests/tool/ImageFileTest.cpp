// How the tool treats an image that is already there, and inputs it cannot
// all hold open: the image that results is the same whatever path it takes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ToolTestSupport.h"

namespace {

// Every date fixed while it lives, so that two runs give the same bytes.
struct FixedDates {
  FixedDates() { setenv("SOURCE_DATE_EPOCH", "1000000000", 1); }
  ~FixedDates() { unsetenv("SOURCE_DATE_EPOCH"); }
};

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The image of `args` written to a fresh target, for comparison.
std::vector<std::uint8_t> FreshImage(const ScratchDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"-o", dir / "fresh"});
  const ToolResult r = RunTool(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return ReadFile(dir / "fresh.bin");
}

}  // namespace

// An old image, larger than the new one, is replaced: under its own name with
// its permissions; through a symbolic link, which stays a link; and under
// every name of a file with two. Nothing else is left in the folder.
TEST(ToolImageFile, AnOldImageIsReplacedUnderEveryNameItHas) {
  ScratchDir dir;
  FixedDates dates;
  WriteFile(dir / "a.dat", PatternBytes(70'000, 1));
  const std::vector<std::uint8_t> expected = FreshImage(dir, {"-f", dir / "a.dat"});
  const std::vector<std::uint8_t> old = PatternBytes(expected.size() * 2 + 1, 2);
  WriteFile(dir / "plain.bin", old);
  ASSERT_EQ(chmod((dir / "plain.bin").c_str(), 0640), 0);
  WriteFile(dir / "target.bin", old);
  ASSERT_EQ(symlink("target.bin", (dir / "link.bin").c_str()), 0);
  WriteFile(dir / "one.bin", old);
  ASSERT_EQ(link((dir / "one.bin").c_str(), (dir / "two.bin").c_str()), 0);
  for (const char* name : {"plain", "link", "one"}) {
    const ToolResult r = RunTool({"-o", dir / name, "-f", dir / "a.dat"});
    EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
  }
  EXPECT_TRUE(ReadFile(dir / "plain.bin") == expected);
  EXPECT_EQ(ModeOf(dir / "plain.bin"), 0640u);
  struct stat st {};
  ASSERT_EQ(lstat((dir / "link.bin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
  EXPECT_TRUE(ReadFile(dir / "target.bin") == expected);
  EXPECT_TRUE(ReadFile(dir / "one.bin") == expected);
  EXPECT_TRUE(ReadFile(dir / "two.bin") == expected) << "the other name kept the old image";
  EXPECT_EQ(RunCommand("cd " + ShellQuote(dir.Path()) + " && ls -A | tr '\\n' ' '").output,
            "a.dat fresh.bin fresh.cue link.bin link.cue one.bin one.cue plain.bin plain.cue target.bin two.bin ");
}

// With room for only a few open files, the inputs past those are opened again
// to be written, and the image is the same.
TEST(ToolImageFile, MoreInputsThanOpenFilesGiveTheSameImage) {
  ScratchDir dir;
  FixedDates dates;
  std::vector<std::string> args = {"-s"};  // one track: no gaps to read back
  for (int i = 0; i < 150; ++i) {
    const std::string name = dir / ("f" + std::to_string(i) + ".dat");
    WriteFile(name, PatternBytes(static_cast<std::size_t>(100 + 37 * i), static_cast<unsigned>(i)));
    args.insert(args.end(), {i % 3 ? "-f" : "-m", name});
  }
  const std::vector<std::uint8_t> expected = FreshImage(dir, args);
  std::string line = "prlimit --nofile=96:96 " + ShellQuote(ToolPath()) + " -o " + ShellQuote(dir / "few");
  for (const std::string& arg : args) line += " " + ShellQuote(arg);
  const CommandResult r = RunCommand(line + " 2>&1 >/dev/null");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadFile(dir / "few.bin") == expected);
}
