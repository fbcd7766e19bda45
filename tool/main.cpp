// brenvox.exe: writes a CD-ROM XA Mode 2 image (TARGET.bin + TARGET.cue), or
// reads one back (--extract, --check).
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "tool/ImageReadRuns.h"
#include "tool/ToolArguments.h"
#include "tool/ToolRun.h"

int main(int argc, char** argv) {
  // The image is the product, the progress lines only information: a reader
  // that goes away must not end the run halfway.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (const auto text = InformationRequest(args)) {
    // An answer that cannot be written whole is a failure, not a success.
    const bool written = std::fputs(text->c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? 0 : 1;
  }
  if (const auto read = RunReadRequest(args)) return static_cast<int>(*read);
  return static_cast<int>(RunTool(std::move(args)));
}
