#include "image/DiscFit.h"
#include "image/FreeSpace.h"
#include "image/WriteRate.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

namespace {

TEST(DiscFit, SizeLineAtEveryBoundary) {
  const struct {
    std::uint64_t sectors;
    std::size_t names;
    std::string expected;
  } cases[] = {
      {12345, 0, "Image: 12345 sectors, 29.0 MB, 02:44 - fits a 74-min CD"},
      {300, 0, "Image: 300 sectors, 0.7 MB, 00:04 - fits a 74-min CD"},
      {333000, 0, "Image: 333000 sectors, 783.2 MB, 74:00 - fits a 74-min CD"},
      {333001, 0, "Image: 333001 sectors, 783.2 MB, 74:00 - fits a 80-min CD"},
      {360000, 0, "Image: 360000 sectors, 846.7 MB, 80:00 - fits a 80-min CD"},
      {360001, 0, "Image: 360001 sectors, 846.7 MB, 80:00 - fits a 90-min CD"},
      {405000, 0, "Image: 405000 sectors, 952.6 MB, 90:00 - fits a 90-min CD"},
      {405001, 0, "Image: 405001 sectors, 952.6 MB, 90:00 - fits a 99-min CD"},
      {449850, 0, "Image: 449850 sectors, 1058.0 MB, 99:58 - fits a 99-min CD"},
      {449851, 0, "Image: 449851 sectors, 1058.0 MB, 99:58 - 00:01 longer than a 99-min CD"},
      {449925, 0, "Image: 449925 sectors, 1058.2 MB, 99:59 - 00:01 longer than a 99-min CD"},
      {449926, 0, "Image: 449926 sectors, 1058.2 MB, 99:59 - 00:02 longer than a 99-min CD"},
      {460000, 0, "Image: 460000 sectors, 1081.9 MB, 102:13 - 02:16 longer than a 99-min CD"},
      {12345, 1, "Image: 12345 sectors, 29.0 MB, 02:44 - fits a 74-min CD - 1 name changes"},
      {460000, 7, "Image: 460000 sectors, 1081.9 MB, 102:13 - 02:16 longer than a 99-min CD - 7 names change"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageSizeLine(c.sectors, c.names), c.expected) << c.sectors;
  // Tenths round to the nearest: 49,999 bytes is 0.0, 50,000 bytes 0.1.
  EXPECT_EQ(MegabytesText(49'999), "0.0");
  EXPECT_EQ(MegabytesText(50'000), "0.1");
  EXPECT_EQ(MegabytesText(999'950'000), "1000.0");
  EXPECT_EQ(MinutesSecondsText(0), "00:00");
  EXPECT_EQ(MinutesSecondsText(6000 * 60 + 5), "6000:05");
}

TEST(DiscFit, WritingLineFromTheExactSizeAndTheGrowingImage) {
  const WriteRate rate(1'000'000'000, 100.0);
  EXPECT_EQ(rate.Line(0, 100.0), "Writing: 0%");
  EXPECT_EQ(rate.Line(0, 105.0), "Writing: 0%");
  EXPECT_EQ(rate.Line(450'000'000, 100.0), "Writing: 45%");  // no time passed yet
  EXPECT_EQ(rate.Line(450'000'000, 101.5), "Writing: 45% - 300 MB/s - 2 s left");
  EXPECT_EQ(rate.Line(999'999'999, 104.0), "Writing: 99% - 250 MB/s - 1 s left");
  EXPECT_EQ(rate.Line(1'000'000'000, 104.0), "Writing: 100% - 250 MB/s - 0 s left");
  // An image larger than planned (never, but the file is not ours) stays at 100%.
  EXPECT_EQ(rate.Line(2'000'000'000, 104.0), "Writing: 100% - 250 MB/s - 0 s left");
  EXPECT_EQ(WriteRate(0, 0).Line(0, 1), "Writing: 100%");
}

TEST(DiscFit, FreeSpaceQuestionOnlyWhenShort) {
  EXPECT_EQ(FreeSpaceQuestion(712'000'000, 300'000'000),
            "The image needs 712 MB, but the target folder has 300 MB free.\nWrite anyway?");
  // Rounded apart: 300.4 MB needed in 300.3 MB reads 301 against 300.
  EXPECT_EQ(FreeSpaceQuestion(300'400'000, 300'300'000),
            "The image needs 301 MB, but the target folder has 300 MB free.\nWrite anyway?");
  EXPECT_EQ(FreeSpaceQuestion(300'000'000, 300'000'000), std::nullopt);
  EXPECT_EQ(FreeSpaceQuestion(1, 0), "The image needs 1 MB, but the target folder has 0 MB free.\nWrite anyway?");
  EXPECT_EQ(FreeSpaceQuestion(1'000'000'000, std::nullopt), std::nullopt);

  EXPECT_EQ(TargetFolder("/discs/demo"), "/discs");
  EXPECT_EQ(TargetFolder("/demo"), "/");
  EXPECT_EQ(TargetFolder("demo"), ".");
  EXPECT_EQ(TargetFolder("a/b/c"), "a/b");
  EXPECT_EQ(FreeBytesIn("/no/such/folder/at/all"), std::nullopt);
  EXPECT_TRUE(FreeBytesIn("/"));
}

// An old image and cue sheet of the target's name are replaced: their room
// counts as free; anything else of that name (a folder) gives nothing back.
TEST(DiscFit, AnOldImageOfTheSameNameGivesItsRoomBack) {
  const TempFolder dir;
  const std::string target = dir / "disc";
  EXPECT_EQ(BytesTheImageStillNeeds(10'000, target), 10'000u);
  dir.MakeFile("disc.bin", std::string(6'000, 'b'));
  dir.MakeDir("disc.cue");
  EXPECT_EQ(BytesTheImageStillNeeds(10'000, target), 4'000u);
  dir.MakeFile("other/disc.cue", std::string(9'000, 'c'));
  EXPECT_EQ(BytesTheImageStillNeeds(10'000, dir / "other/disc"), 1'000u);
  EXPECT_EQ(BytesTheImageStillNeeds(5'000, target), 0u);
}

}  // namespace
