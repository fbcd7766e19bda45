// The program's own command line: answers, the end of options, refusals.
#include <gtest/gtest.h>

#include "app/ProgramArguments.h"

TEST(ProgramArguments, EachLineGivesItsActionAndFile) {
  using A = ProgramAction;
  struct Case {
    std::vector<std::string> args;
    ProgramAction action;
    std::optional<std::string> file;
  };
  const Case cases[] = {
      {{}, A::Run, std::nullopt},
      {{"disc.kbv"}, A::Run, "disc.kbv"},
      {{"--help"}, A::Help, std::nullopt},
      {{"--version"}, A::Version, std::nullopt},
      {{"disc.kbv", "--version"}, A::Version, std::nullopt},
      {{"-x", "--help"}, A::Help, std::nullopt},  // asked for after an error: still answered
      {{"--", "-x.kbv"}, A::Run, "-x.kbv"},
      {{"./-x.kbv"}, A::Run, "./-x.kbv"},
      {{"--", "--help"}, A::Run, "--help"},  // a file of that name
      {{"-"}, A::Run, "-"},
      {{"--", "--", }, A::Run, "--"},
      {{"-x.kbv"}, A::Refuse, std::nullopt},
      {{"--verbose"}, A::Refuse, std::nullopt},
      {{"a.kbv", "b.kbv"}, A::Refuse, "a.kbv"},
  };
  for (const Case& c : cases) {
    const ProgramArguments parsed = ParseProgramArguments(c.args);
    const std::string line = ::testing::PrintToString(c.args);
    EXPECT_EQ(parsed.action, c.action) << line;
    EXPECT_EQ(parsed.layoutFile, c.file) << line;
    EXPECT_EQ(parsed.error.empty(), c.action != A::Refuse) << line << ": " << parsed.error;
  }
}

TEST(ProgramArguments, TheFirstRefusalIsTheOneTold) {
  const ProgramArguments parsed = ParseProgramArguments({"-q", "a.kbv", "b.kbv"});
  EXPECT_NE(parsed.error.find("'-q'"), std::string::npos) << parsed.error;
}
