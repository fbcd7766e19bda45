// The options of brenvox.exe, in one table read by all three places that
// speak them: the window writes its option string from it, a saved layout
// (.kbv) is read back with it, and the tool parses its arguments with it.
#pragma once

#include <string_view>

enum class Option {
  Target,          // -o TARGET
  Volume,          // -v VOLUME
  Form2Extension,  // -e EXT
  KeepExtension,   // -x
  SingleTrack,     // -s
  IsoLevel1,       // -isolevel1
  IsoLevel2,       // -isolevel2
  PlanOnly,        // -n
  Form1File,       // -f FILE
  Form2File,       // -m FILE
  Folder,          // -d IN\IMAGE\PATH
};

struct OptionInfo {
  Option option;
  std::string_view text;  // as it stands on the command line
  bool takesValue;        // the next argument (in a .kbv: the quoted text) is its value
  // The first character of the token that a .kbv entry is read by; '\0' for
  // an option that Load passes over (the ISO level and -n are not kept).
  char layoutLetter;
};

inline constexpr OptionInfo OPTION_TABLE[] = {
    {Option::Target, "-o", true, 'o'},
    {Option::Volume, "-v", true, 'v'},
    {Option::Form2Extension, "-e", true, 'e'},
    {Option::KeepExtension, "-x", false, 'x'},
    {Option::SingleTrack, "-s", false, 's'},
    {Option::IsoLevel1, "-isolevel1", false, '\0'},
    {Option::IsoLevel2, "-isolevel2", false, '\0'},
    {Option::PlanOnly, "-n", false, '\0'},
    {Option::Form1File, "-f", true, 'f'},
    {Option::Form2File, "-m", true, 'm'},
    {Option::Folder, "-d", true, 'd'},
};

// The row of an option.
constexpr const OptionInfo& InfoOf(Option option) {
  for (const OptionInfo& info : OPTION_TABLE) {
    if (info.option == option) return info;
  }
  return OPTION_TABLE[0];  // not reached: every option has its row
}

// The row whose text is exactly text; null for anything else.
constexpr const OptionInfo* FindOption(std::string_view text) {
  for (const OptionInfo& info : OPTION_TABLE) {
    if (info.text == text) return &info;
  }
  return nullptr;
}

// The row a .kbv token beginning with letter is read by; null when Load
// passes such a token over.
constexpr const OptionInfo* FindLayoutLetter(char letter) {
  if (letter == '\0') return nullptr;
  for (const OptionInfo& info : OPTION_TABLE) {
    if (info.layoutLetter == letter) return &info;
  }
  return nullptr;
}

// Each letter is its option's own ("-o" is read by 'o'), and each option has
// one row.
static_assert([] {
  for (const OptionInfo& info : OPTION_TABLE) {
    if (info.layoutLetter != '\0' && (info.text.size() != 2 || info.text[1] != info.layoutLetter)) {
      return false;
    }
    if (&InfoOf(info.option) != &info) return false;
  }
  return true;
}());
