#include "image/ProgressScale.h"
#include "image/RunOutcome.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/support/TempFolder.h"

namespace {

TEST(RunOutcome, MessageByHowTheToolEndedWithTheLastTenErrorLines) {
  struct Case {
    ToolEnd end;
    std::string errors;
    std::string expected;
  };
  std::string fifteen, lastTen;
  for (int i = 1; i <= 15; ++i) {
    fifteen += "line " + std::to_string(i) + "\n";
    if (i > 5) lastTen += "\nline " + std::to_string(i);
  }
  const Case cases[] = {
      {{false, 0}, "noise\n", ""},
      {{false, 3}, "", "Image Not Created\n\nbrenvox.exe ended with exit code 3"},
      {{false, 255}, "", "Image Not Created\n\nbrenvox.exe ended with exit code 255"},
      {{false, 1}, "cannot read /a.txt\n", "Image Not Created\n\nbrenvox.exe ended with exit code 1\ncannot read /a.txt"},
      {{true, 9}, "x\ny", "Image Not Created\n\nbrenvox.exe was ended by signal 9\nx\ny"},
      {{false, 2}, fifteen + "\n", "Image Not Created\n\nbrenvox.exe ended with exit code 2" + lastTen},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunEndMessage(c.end, c.errors), c.expected) << c.end.code;
  }
}

// The desktop notice: the box's first line as its title, the reason (after
// the blank line) as its text; a success names the image.
TEST(RunOutcome, NoticeTitleIsTheBoxsFirstLineAndItsTextTheReason) {
  const RunNotice created = NoticeOfRunEnd("", "/d/disc.bin");
  EXPECT_EQ(created.title, "Image Created");
  EXPECT_EQ(created.body, "/d/disc.bin");
  const RunNotice failed = NoticeOfRunEnd("Image Not Created\n\nbrenvox.exe ended with exit code 3\ndisc full", "/d/x.bin");
  EXPECT_EQ(failed.title, "Image Not Created");
  EXPECT_EQ(failed.body, "brenvox.exe ended with exit code 3\ndisc full");
  EXPECT_EQ(NoticeOfRunEnd("Image Not Created", "/d/x.bin").body, "");
}

// A tool that exits 0 is believed only when the image has the planned size
// and the cue sheet is a file beside it.
TEST(RunOutcome, ExitZeroIsSuccessOnlyWithThePlannedImageAndACueSheet) {
  TempFolder dir;
  const std::string target = dir / "disc", bin = target + ".bin", cue = target + ".cue";
  const std::string notCreated = "Image Not Created\n\nbrenvox.exe ended with exit code 0, but ";
  EXPECT_EQ(WrittenImageMessage(target, 5), notCreated + bin + " is not there");
  dir.MakeDir("disc.bin");
  EXPECT_EQ(WrittenImageMessage(target, std::nullopt), notCreated + bin + " is not there") << "a folder";
  std::filesystem::remove(bin);
  dir.MakeFile("disc.bin", "short");
  EXPECT_EQ(WrittenImageMessage(target, 4704), notCreated + bin + " has 5 bytes, not the 4704 planned");
  EXPECT_EQ(WrittenImageMessage(target, 5), notCreated + cue + " is not there");
  dir.MakeFile("disc.cue", "");
  EXPECT_EQ(WrittenImageMessage(target, 5), "");
  EXPECT_EQ(WrittenImageMessage(target, std::nullopt), "") << "no plan: any size";
}

TEST(RunOutcome, LastLinesEdges) {
  EXPECT_EQ(LastLines("", 10), "");
  EXPECT_EQ(LastLines("\n\n", 10), "");
  EXPECT_EQ(LastLines("a\nb\nc\n", 2), "b\nc");
  EXPECT_EQ(LastLines("a\nb\nc", 3), "a\nb\nc");
  EXPECT_EQ(LastLines("a\r\nb\r\n", 1), "b");
  EXPECT_EQ(LastLines("a\nb", 0), "");
}

TEST(ProgressScale, AnyTotalFitsTheBar) {
  const std::int64_t intMax = std::numeric_limits<int>::max();
  struct Case {
    std::int64_t total;
    int range;
    int shift;
  };
  const Case cases[] = {
      {0, 0, 0},
      {-5, 0, 0},
      {1000, 1000, 0},
      {intMax, static_cast<int>(intMax), 0},
      {intMax + 1, static_cast<int>((intMax + 1) >> 1), 1},
      {std::int64_t{5} << 32, static_cast<int>((std::int64_t{5} << 32) >> 4), 4},
  };
  for (const Case& c : cases) {
    const ProgressScale scale = ProgressScale::For(c.total);
    EXPECT_EQ(scale.range, c.range) << c.total;
    EXPECT_EQ(scale.shift, c.shift) << c.total;
    EXPECT_EQ(scale.PositionFor(c.total), scale.range);
    EXPECT_EQ(scale.PositionFor(c.total * 2 + 10), scale.range) << "full past the estimate";
    EXPECT_EQ(scale.PositionFor(0), 0);
  }
  const ProgressScale big = ProgressScale::For(std::int64_t{4} << 30);
  EXPECT_EQ(big.PositionFor(std::int64_t{2} << 30), big.range / 2);
}

}  // namespace
