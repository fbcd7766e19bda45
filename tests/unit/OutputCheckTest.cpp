// Before Write ISO empties an old image, the tool's own refusals of its
// outputs are found: nothing that the tool would refuse is ever emptied.
#include "image/OutputCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

TEST(OutputCheck, AnOutputThatIsAnInputOrNoRegularFileIsRefused) {
  TempFolder dir;
  const std::string input = dir.MakeFile("a", "precious"), target = dir / "disc";
  const CommandLine entries = {{"-o", true, target}, {"-f", true, input}};
  EXPECT_EQ(ToolOutputRefusal(entries), std::nullopt) << "no old image: nothing to lose";
  const std::string isInput = ": it is the input file " + input;
  const std::string notRegular = ": it is not a regular file";
  const struct {
    const char* output;
    std::function<void(const std::string&)> make;
    std::string reason;
  } cases[] = {
      {".bin", [&](const std::string& p) { fs::create_hard_link(input, p); }, isInput},
      {".cue", [&](const std::string& p) { fs::create_symlink(input, p); }, isInput},
      {".bin", [](const std::string& p) { fs::create_directory(p); }, notRegular},
      {".bin", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, notRegular},
      {".bin", [](const std::string& p) { std::ofstream(p) << "old image"; }, ""},
  };
  for (const auto& c : cases) {
    const std::string output = target + c.output;
    c.make(output);
    const auto refusal = ToolOutputRefusal(entries);
    if (c.reason.empty()) EXPECT_EQ(refusal, std::nullopt) << "an old image the tool replaces";
    else EXPECT_EQ(refusal, "Cannot write " + output + c.reason);
    fs::remove(output);
  }
}

}  // namespace
