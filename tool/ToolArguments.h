// The tool's command line: the option-string entries as separate arguments.
//
//   -o TARGET  -v VOLUME  -e EXT  -x  -s  -isolevel1 | -isolevel2  -n
//   then, in layout order: -f FILE (Form 1), -m FILE (Form 2), -d IN\IMAGE\PATH
//
// A -f or -m entry belongs to the folder of the nearest -d before it, or to
// the image root when there is none.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class IsoLevel { Ascii, Level1, Level2 };

enum class EntryKind { Form1File, Form2File, Folder };

struct LayoutEntry {
  EntryKind kind = EntryKind::Form1File;
  std::string value;  // a path on disk (files) or an in-image path (folders)
};

struct ToolOptions {
  std::string target;                 // image path and name without extension
  std::optional<std::string> volume;  // -v
  std::string form2Extension;         // -e, empty when absent
  bool keepExtension = false;         // -x
  bool singleTrack = false;           // -s
  IsoLevel isoLevel = IsoLevel::Ascii;
  bool planOnly = false;              // -n: lay the image out, write nothing
  std::vector<LayoutEntry> entries;
};

struct ParsedArguments {
  std::optional<ToolOptions> options;  // absent on a usage error
  std::string error;                   // what was wrong, for the usage message
};

// Parses the arguments that follow the program name (taken by value: a
// caller done with them moves them in, and no path is copied).
ParsedArguments ParseToolArguments(std::vector<std::string> args);

// The usage text printed on stderr with a usage error, and on stdout for --help.
std::string UsageText();

// "brenvox.exe VERSION", one line.
std::string VersionText();

// --help or --version where an option may stand (not as the value of -o, -f
// and the like): the text to print on stdout, with exit status 0, instead
// of writing an image. The first of the two wins. Nothing for other lines.
std::optional<std::string> InformationRequest(const std::vector<std::string>& args);
