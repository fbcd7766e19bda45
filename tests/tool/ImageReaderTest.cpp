// The tests' own image reader must survive any image: a malformed one gives
// problems, never a crash or a read outside the image (ASan watches).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ToolTestSupport.h"
#include "XaImageReader.h"

namespace {

// A good small image from the tool, to be damaged.
RawImage GoodImage(const ScratchDir& dir) {
  WriteFile(dir / "a.txt", PatternBytes(5000, 1));
  const ToolResult r = RunTool({"-o", dir / "disc", "-d", "SUB", "-f", dir / "a.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  RawImage img;
  EXPECT_TRUE(LoadRawImage(dir / "disc.bin", img));
  return img;
}

void Put32Both(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  for (int i = 0; i < 4; ++i) p[4 + i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

}  // namespace

TEST(ToolImageReader, AMalformedImageGivesProblemsNotACrash) {
  ScratchDir dir;
  const RawImage good = GoodImage(dir);
  ASSERT_TRUE(ReadIsoView(good).problems.empty());
  const std::uint8_t* pvd = good.UserData(16);
  const std::uint32_t root = pvd[156 + 2] | pvd[156 + 3] << 8 | pvd[156 + 4] << 16;
  // Offsets into the whole image.
  const std::size_t pvdAt = 16 * 2352 + 24;
  const std::size_t rootDir = std::size_t{root} * 2352 + 24;
  const std::size_t subRecord = rootDir + 48 + 48;  // after "." and ".."
  const struct {
    const char* what;
    std::function<void(RawImage&)> damage;
  } cases[] = {
      {"a record that crosses the block", [&](RawImage& i) { i.bytes[rootDir + 48 + 48] = 255; i.bytes[rootDir + 2040] = 60; }},
      {"a record shorter than its fields", [&](RawImage& i) { i.bytes[subRecord] = 10; }},
      {"an identifier longer than its record", [&](RawImage& i) { i.bytes[subRecord + 32] = 200; }},
      {"a folder extent past the end", [&](RawImage& i) { Put32Both(&i.bytes[subRecord + 2], 0xFFFFFF00u); }},
      {"a folder of 4 GB", [&](RawImage& i) { Put32Both(&i.bytes[subRecord + 10], 0xFFFFF800u); }},
      {"a folder that is its own parent", [&](RawImage& i) { Put32Both(&i.bytes[subRecord + 2], root); }},
      {"a path table past the end", [&](RawImage& i) { Put32Both(&i.bytes[pvdAt + 132], 0x7FFFFFFFu); }},
      {"a root past the end", [&](RawImage& i) { Put32Both(&i.bytes[pvdAt + 156 + 2], 0x00FFFFFFu); }},
      {"cut after the descriptors", [&](RawImage& i) { i.bytes.resize(18 * 2352); }},
      {"cut before them", [&](RawImage& i) { i.bytes.resize(10 * 2352); }},
  };
  for (const auto& c : cases) {
    RawImage bad = good;
    c.damage(bad);
    const IsoView view = ReadIsoView(bad);
    EXPECT_FALSE(view.problems.empty()) << c.what;
  }
}
