// The steps before Write ISO starts the tool: the questions come in order, a
// No or a refusal changes nothing, a Yes empties the old image.
#include "image/RunGate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class RunGateTest : public ::testing::Test {
 protected:
  RunGateTest() { fs::permissions(tool, fs::perms::owner_exec, fs::perm_options::add); }
  // Passes the gate with these answers, noting the questions asked and the
  // folder whose free space was looked up.
  RunGateStep Pass(bool writeAnyway, bool replace, std::optional<PlannedBytes> planned = PlannedBytes{2352, 60}) {
    const RunGateQuestions ask{[&](const std::string&) { return asked.push_back("space"), writeAnyway; },
                               [&] { return asked.push_back("replace"), replace; }};
    const FreeSpaceSource freeSpace = [&](const std::string& f) { return folder = f, std::optional(freeBytes); };
    result = PassRunGate(entries, target, tool, planned, freeSpace, ask);
    return result.step;
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempFolder dir;
  std::string tool = dir.MakeFile("brenvox.exe", "#!/bin/sh\n"), target = dir / "disc", folder;
  std::uint64_t freeBytes = 0;
  CommandLine entries = {{"-o", true, target}, {"-f", true, dir.MakeFile("a", "precious")}};
  std::vector<std::string> asked;
  RunGateResult result;
};

TEST_F(RunGateTest, EachQuestionAnsweredNoChangesNothingAndYesEmptiesTheOldImage) {
  EXPECT_EQ(Pass(false, false), RunGateStep::Declined);
  EXPECT_EQ(asked, std::vector<std::string>{"space"});
  EXPECT_EQ(folder, dir.Path()) << "the target's folder";
  freeBytes = 2352 + 60;  // room enough: no question
  EXPECT_EQ(Pass(false, false), RunGateStep::Go);
  EXPECT_EQ(Pass(false, false, std::nullopt), RunGateStep::Go) << "no plan: no room to ask about";

  dir.MakeFile("disc.bin", "old image");
  dir.MakeFile("disc.cue", "old cue sheet");
  freeBytes = 0;
  asked.clear();
  EXPECT_EQ(Pass(true, false), RunGateStep::Declined);
  EXPECT_EQ(asked.back(), "replace");
  EXPECT_EQ(Read(target + ".bin"), "old image");
  EXPECT_TRUE(fs::exists(target + ".cue"));
  freeBytes = 2352 + 60 - 9 - 13;  // the old image and cue sheet give their room back
  asked.clear();
  EXPECT_EQ(Pass(false, true), RunGateStep::Go);
  EXPECT_EQ(asked, std::vector<std::string>{"replace"});
  EXPECT_EQ(Read(target + ".bin"), "") << "emptied";
  EXPECT_FALSE(fs::exists(target + ".cue")) << "an emptied image beside its old cue sheet would read as a disc";
}

TEST_F(RunGateTest, WhatTheToolWouldRefuseIsSaidBeforeTheReplaceQuestionAndKeptWhole) {
  freeBytes = 1 << 20;
  fs::create_hard_link(dir / "a", target + ".bin");
  EXPECT_EQ(Pass(true, true), RunGateStep::Refused);
  EXPECT_EQ(result.refusal, "Cannot write " + target + ".bin: it is the input file " + dir / "a");
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(Read(dir / "a"), "precious");
}

TEST_F(RunGateTest, AToolThatIsNotAnExecutableFileCannotStart) {
  freeBytes = 1 << 20;
  fs::permissions(tool, fs::perms::owner_exec, fs::perm_options::remove);
  EXPECT_EQ(Pass(true, true), RunGateStep::ToolMissing);
  fs::remove(tool);
  fs::create_directory(tool);
  EXPECT_EQ(Pass(true, true), RunGateStep::ToolMissing);
  fs::remove(tool);
  EXPECT_EQ(Pass(true, true), RunGateStep::ToolMissing);
}

}  // namespace
