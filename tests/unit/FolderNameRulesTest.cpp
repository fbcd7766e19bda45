#include "layout/FolderNameRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CheckFolderName, ChecksInTheirOrder) {
  using P = FolderNameProblem;
  struct Case {
    std::string name;
    P expected;
  };
  const std::vector<Case> cases = {
      {"", P::Empty},
      {" ", P::LeadingBlank},
      {"  Music", P::LeadingBlank},
      {" a-b", P::LeadingBlank},  // the leading blank is reported first
      {"a-b", P::ForbiddenCharacter},
      {"AC/DC", P::ForbiddenCharacter},
      {"Q:", P::ForbiddenCharacter},
      {"Disc 1", P::None},
      {"Disc ", P::None},
      {"...", P::None},
      {"Caf\xc3\xa9", P::None},
      {"A_b.c(1)", P::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckFolderName(c.name), c.expected) << "name: '" << c.name << "'";
  }
}

TEST(CheckFolderName, EachForbiddenCharacterAnywhere) {
  for (char c : std::string("-\\/:*?\"<>|")) {
    for (const std::string& name :
         {std::string(1, c), "a" + std::string(1, c), std::string(1, c) + "a b"}) {
      EXPECT_EQ(CheckFolderName(name), FolderNameProblem::ForbiddenCharacter) << name;
    }
  }
}

TEST(FolderNameMessage, ExactTexts) {
  EXPECT_STREQ(FolderNameMessage(FolderNameProblem::LeadingBlank),
               "The first character cannot be space");
  EXPECT_STREQ(FolderNameMessage(FolderNameProblem::Empty), "Type a name for the new folder");
  EXPECT_STREQ(FolderNameMessage(FolderNameProblem::ForbiddenCharacter),
               "Folder name cannot contain characters:  -\\/:*?<>\"|");
  EXPECT_STREQ(FolderNameMessage(FolderNameProblem::None), "");
}

}  // namespace
