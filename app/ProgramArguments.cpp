#include "app/ProgramArguments.h"

#include <utility>

#ifndef BRENVOX_VERSION
#error "BRENVOX_VERSION is set by the build"
#endif

namespace {

void Refuse(ProgramArguments& parsed, std::string error) {
  if (parsed.action == ProgramAction::Refuse) return;  // the first error is the one told
  parsed.action = ProgramAction::Refuse;
  parsed.error = std::move(error);
}

}  // namespace

// A request for --help or --version is answered even after an error on the
// same line, as the tool does.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& args) {
  ProgramArguments parsed;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || arg == "--version")) {
      return {arg == "--help" ? ProgramAction::Help : ProgramAction::Version, std::nullopt, {}};
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      Refuse(parsed, "unknown option '" + arg + "' (a file name beginning with '-' goes after --)");
    } else if (parsed.layoutFile) {
      Refuse(parsed, "only one layout file can be opened");
    } else {
      parsed.layoutFile = arg;
    }
  }
  return parsed;
}

std::string ProgramUsage() {
  return "usage: brenvoxgui [FILE.kbv]\n"
         "       brenvoxgui -- FILE.kbv\n"
         "       brenvoxgui --help | --version\n"
         "  FILE.kbv   start with this layout loaded\n"
         "  --         end of options: the next argument is a file, even if it begins with -\n"
         "  --help     print this text; --version: print the version\n"
         "exit status:\n"
         "  0  the window was closed, or --help or --version answered\n"
         "  1  a usage error, or the window cannot be opened (no display)\n";
}

std::string ProgramVersion() { return std::string("brenvoxgui ") + BRENVOX_VERSION + "\n"; }
