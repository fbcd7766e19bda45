// The checks a folder name typed in the folder name dialog must pass.
#pragma once

#include <string>

#include "common/Texts.h"

enum class FolderNameProblem { None, LeadingBlank, Empty, ForbiddenCharacter };

// Characters typed into the edit at most, and characters read from it at most.
constexpr std::size_t FOLDER_NAME_EDIT_LIMIT = 500;
constexpr std::size_t FOLDER_NAME_READ_LIMIT = 499;

// The checks in their order: leading blank, empty, then forbidden characters.
FolderNameProblem CheckFolderName(const std::string& name);

// The message for a problem ("" for None).
const char* FolderNameMessage(FolderNameProblem problem);
