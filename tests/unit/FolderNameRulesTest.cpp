#include "layout/FolderNameRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each name with the message the dialog shows for it ("" when it passes).
TEST(CheckFolderName, ChecksInTheirOrderWithTheirMessages) {
  const std::string space = "The first character cannot be space";
  const std::string empty = "Type a name for the new folder";
  const std::string forbidden = "Folder name cannot contain characters:  -\\/:*?<>\"|";
  std::vector<std::pair<std::string, std::string>> cases = {
      {"", empty},           {" ", space},          {"  Music", space},
      {" a-b", space},  // the leading blank is reported first
      {"Disc 1", ""},        {"Disc ", ""},         {"...", ""},
      {"Caf\xc3\xa9", ""},   {"A_b.c(1)", ""},
  };
  // Each forbidden character, alone, at the end and at the start.
  for (char c : std::string("-\\/:*?\"<>|")) {
    for (const std::string& name : {std::string{c}, std::string{'a', c}, std::string{c, 'a', ' ', 'b'}}) {
      cases.emplace_back(name, forbidden);
    }
  }
  for (const auto& [name, message] : cases) {
    EXPECT_EQ(FolderNameMessage(CheckFolderName(name)), message) << "name: '" << name << "'";
    EXPECT_EQ(CheckFolderName(name) == FolderNameProblem::None, message.empty()) << name;
  }
}

}  // namespace
