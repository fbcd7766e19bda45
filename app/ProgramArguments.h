// The program's own command line: brenvoxgui [--help | --version] [--] [FILE.kbv].
// Read before the toolkit starts, so that --help and --version answer
// without a window or a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class ProgramAction {
  Run,      // open the window (with layoutFile loaded, when given)
  Help,     // print ProgramUsage() on stdout, status 0
  Version,  // print ProgramVersion() on stdout, status 0
  Refuse,   // print the usage and `error` on stderr, status EXIT_USAGE
};

struct ProgramArguments {
  ProgramAction action = ProgramAction::Run;
  std::optional<std::string> layoutFile;  // the bytes given, unchanged
  std::string error;
};

// Exit statuses of the program.
inline constexpr int EXIT_DONE = 0;     // the window was closed, or --help/--version answered
inline constexpr int EXIT_USAGE = 1;    // an unknown option or a second file
inline constexpr int EXIT_NO_WINDOW = 1;  // the window could not be opened (no display)

// args: the arguments after the program's name. "--help" and "--version"
// count wherever they stand before "--"; after "--" every argument is a file
// name, so a layout whose name begins with '-' opens as `-- -x.kbv` (or
// `./-x.kbv`). A lone "-" is a file name.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& args);

std::string ProgramUsage();
std::string ProgramVersion();
