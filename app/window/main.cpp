#include <wx/init.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/ProgramArguments.h"
#include "app/window/LayoutApp.h"
#include "common/HeapReturn.h"
#include "common/window/MessageBox.h"
#include "app/StartupPlaces.h"

wxIMPLEMENT_APP_NO_MAIN(LayoutApp);

namespace {

// An answer that cannot be written whole is a failure, not a success.
int Answer(const std::string& text) {
  return std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? EXIT_DONE : EXIT_USAGE;
}

}  // namespace

// brenvoxgui [--help | --version] [--] [FILE.kbv]: the arguments are read
// here, before the toolkit starts, so that the answers need no display. The
// file name is kept as the bytes given (it need not be valid in any encoding)
// and the framework gets no argument, so nothing is converted or taken as an
// option of the toolkit's.
int main(int argc, char** argv) {
  const ProgramArguments parsed =
      ParseProgramArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  switch (parsed.action) {
    case ProgramAction::Help:
      return Answer(ProgramUsage());
    case ProgramAction::Version:
      return Answer(ProgramVersion());
    case ProgramAction::Refuse:
      std::fprintf(stderr, "%sbrenvoxgui: %s\n", ProgramUsage().c_str(), parsed.error.c_str());
      return EXIT_USAGE;
    case ProgramAction::Run:
      break;
  }
  ReturnFreedMemoryPromptly();
  if (parsed.layoutFile) LayoutApp::SetLayoutFile(*parsed.layoutFile);
  // Message boxes are captioned with the executable's own name.
  const std::string executable = RunningExecutable();
  SetProgramName(ProgramNameOf(!executable.empty() ? executable : argc > 0 ? argv[0] : ""));
  int frameworkArgc = argc > 0 ? 1 : 0;
  // The window's run always ends with 0; anything else is the toolkit failing
  // to start (no display).
  return wxEntry(frameworkArgc, argv) == 0 ? EXIT_DONE : EXIT_NO_WINDOW;
}
