// brenvox.exe: writes a CD-ROM XA Mode 2 image (TARGET.bin + TARGET.cue).
#include <string>
#include <vector>

#include "tool/ToolRun.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return static_cast<int>(runTool(args));
}
