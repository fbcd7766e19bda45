// A fixed layout with a fixed clock gives the same image, byte for byte,
// whichever sector code the machine runs (the fast paths or the portable
// tables, BRENVOX_SECTOR_CODE=portable) and however many workers encode it.
// The hashes were taken from the writer before the encoding was parallelised.
#include <gtest/gtest.h>

#include "ToolTestSupport.h"

namespace {

struct GoldenImage {
  ScratchDir dir;
  std::vector<std::string> layout;
};

// Form 1 and Form 2 files spanning several write buffers, small and empty
// files, a folder and a second track.
void MakeLayout(GoldenImage& g) {
  const struct {
    const char* flag;
    const char* name;
    std::size_t size;
  } files[] = {{"-f", "a.txt", 3000},      {"-f", "big.dat", 3000000}, {"-f", "empty.txt", 0},
               {"-m", "clip.mpg", 2500000}, {"-m", "tail.mpg", 3 * 2324 + 1}};
  unsigned seed = 0;
  for (const auto& f : files) {
    WriteFile(g.dir / f.name, PatternBytes(f.size, ++seed));
    if (seed == 3) g.layout.insert(g.layout.end(), {"-d", "MEDIA"});
    g.layout.insert(g.layout.end(), {f.flag, g.dir / f.name});
  }
}

// Runs the tool with SOURCE_DATE_EPOCH fixed and `environment` before it;
// returns the hashes of the .bin and the .cue.
std::pair<std::string, std::string> ImageHashes(const GoldenImage& g, const std::string& environment,
                                                const std::string& name) {
  const std::string target = g.dir / (name + "/disc");  // the cue names the .bin
  RunCommand("mkdir -p " + ShellQuote(g.dir / name));
  std::string line = environment + " SOURCE_DATE_EPOCH=1700000000 " + ShellQuote(ToolPath()) + " -v GOLDEN -o " +
                     ShellQuote(target);
  for (const std::string& a : g.layout) line.append(" ").append(ShellQuote(a));
  const CommandResult r = RunCommand(line + " > /dev/null");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::uint8_t> bin = ReadFile(target + ".bin");
  const std::vector<std::uint8_t> cue = ReadFile(target + ".cue");
  return {Sha256Of(bin.data(), bin.size()), Sha256Of(cue.data(), cue.size())};
}

constexpr const char* BIN_HASH = "318a716c8f98f3979349b0f1ff55d3ad04e2863eb0d100c1b6fae2116e7e2bb0";
constexpr const char* CUE_HASH = "065b6577791001c1fefbe41adf3fc3370a1f2dca6fa87312fe5603d04e09ddcb";

}  // namespace

TEST(ToolGolden, ImageIsByteIdenticalOnEveryEncodingPath) {
  GoldenImage g;
  MakeLayout(g);
  const std::pair<const char*, const char*> runs[] = {
      {"", "default"},
      {"BRENVOX_SECTOR_CODE=portable", "portable"},
      {"BRENVOX_ENCODE_THREADS=1", "one-worker"},
      {"BRENVOX_SECTOR_CODE=portable BRENVOX_ENCODE_THREADS=5", "portable-five-workers"}};
  for (const auto& [environment, name] : runs) {
    const auto [bin, cue] = ImageHashes(g, environment, name);
    EXPECT_EQ(bin, BIN_HASH) << name;
    EXPECT_EQ(cue, CUE_HASH) << name;
  }
}
