// The checks a folder name must pass before the folder name dialog accepts it.
#include "layout/FolderNameRules.h"

#include <string_view>

namespace {

// Characters a folder name in the image cannot hold.
constexpr std::string_view FORBIDDEN_CHARACTERS = "-\\/:*?\"<>|";

}  // namespace

FolderNameProblem CheckFolderName(const std::string& name) {
  if (!name.empty() && name.front() == ' ') return FolderNameProblem::LeadingBlank;
  if (name.empty()) return FolderNameProblem::Empty;
  if (name.find_last_of(FORBIDDEN_CHARACTERS) != std::string::npos) {
    return FolderNameProblem::ForbiddenCharacter;
  }
  return FolderNameProblem::None;
}

const char* FolderNameMessage(FolderNameProblem problem) {
  switch (problem) {
    case FolderNameProblem::LeadingBlank: return MSG_FIRST_CHAR_SPACE;
    case FolderNameProblem::Empty: return MSG_TYPE_A_NAME;
    case FolderNameProblem::ForbiddenCharacter: return MSG_FORBIDDEN_CHARS;
    case FolderNameProblem::None: break;
  }
  return "";
}
