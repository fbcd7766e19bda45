#include <wx/init.h>

#include "app/window/LayoutApp.h"
#include "common/window/MessageBox.h"
#include "app/StartupPlaces.h"

wxIMPLEMENT_APP_NO_MAIN(LayoutApp);

// brenvoxgui [FILE.kbv]: the argument is kept as the bytes given (a file
// name need not be valid in any encoding) and the framework gets none, so
// nothing of it is converted or taken as an option of the toolkit's.
int main(int argc, char** argv) {
  if (argc > 1) LayoutApp::SetLayoutFile(argv[1]);
  // Message boxes are captioned with the executable's own name.
  const std::string executable = RunningExecutable();
  SetProgramName(ProgramNameOf(!executable.empty() ? executable : argc > 0 ? argv[0] : ""));
  int frameworkArgc = argc > 0 ? 1 : 0;
  return wxEntry(frameworkArgc, argv);
}
