// The tool's option string as a list of entries. The string shown to the
// user, the batch file, the structure file and the tool's argument vector are
// all rendered from one list, so they can never disagree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CommandEntry {
  std::string option;  // "-o", "-v", "-e", "-x", "-s", "-isolevel1", "-isolevel2", "-f", "-m", "-d"
  bool hasValue = false;
  std::string value;   // copied unchanged, never escaped
};

using CommandLine = std::vector<CommandEntry>;

// The settings the builder reads from the window's controls.
struct CommandSettings {
  std::string imagePath;    // "-o" when not empty
  std::string volumeName;   // "-v" when not empty
  std::string form2Ext;     // "-e" when not empty
  bool keepExtension = false;  // "-x"
  bool singleTrack = false;    // "-s"
  int isoLevelIndex = 0;       // 1: "-isolevel1", 2: "-isolevel2", else none
};

// Appends the settings entries in their fixed order.
void AppendSettingsEntries(const CommandSettings& settings, CommandLine& out);

// " -o \"value\" -x ...": every entry is a blank, the option, and for a value
// a blank and the value between double quotes. Begins with a blank.
std::string RenderOptionString(const CommandLine& entries);

// The tool's argument vector (without the program): each option and each
// value as its own argument, values unquoted.
std::vector<std::string> RenderArguments(const CommandLine& entries);

// The batch file's bytes: "brenvox.exe" followed by the option string, no line end.
std::string RenderBatchFile(const CommandLine& entries);

// The first value that a POSIX shell running the batch file would not read
// back as it stands between its double quotes; none when every value is safe.
// Inside double quotes a shell expands '$' and the backquote ("clip$(touch
// X).mpg" would run touch), a double quote ends the quoting, and a backslash
// escapes a following '$', backquote, '"', backslash or line break: "two\\b"
// is read as two\b, and a value ending in a backslash turns its closing quote
// into text, so the next value is read unquoted. Any other backslash, as in
// "Video\Extra", stands for itself.
std::optional<std::string> FirstShellExpandedValue(const CommandLine& entries);

// The structure file's bytes: the option string without its leading blank.
std::string RenderStructureFile(const CommandLine& entries);

// "%s\n\nTOTAL ESTIMATED SIZE : %d Kb" with the size in truncated kilobytes.
std::string RenderCommandLineView(const CommandLine& entries, std::int64_t totalBytes);
