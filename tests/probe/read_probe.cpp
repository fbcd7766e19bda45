// Reads a file as the program does, and prints what it got: "settings PATH"
// as gui.ini is read at start-up (the image target's length and whether the
// three numbers were read), "layout PATH" as Load reads a structure file,
// "arguments PATH" as brenvox.exe reads "@PATH".
// Built without the sanitizers so that tests can run it under `prlimit --as`,
// where a read that is not bounded ends the process instead of the machine's
// memory.
#include <cstdio>
#include <string>

#include "app/SettingsFile.h"
#include "app/WholeFile.h"
#include "content/StructureFile.h"
#include "tool/ToolArguments.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string what = argv[1];
  const std::string path = argv[2];
  if (what == "settings") {
    const Settings settings = LoadSettingsFile(path, "/start");
    std::printf("target %zu checks %d\n", settings.imageTarget.size(),
                settings.checks ? settings.checks->viewPrompt + settings.checks->singleTrack : -1);
    return 0;
  }
  if (what == "layout") {
    std::string text;
    if (ReadRegularFile(path, MAX_STRUCTURE_FILE_BYTES, text)) {
      std::printf("read %zu\n", text.size());
    } else {
      std::printf("refused\n");
    }
    return 0;
  }
  if (what == "arguments") {
    const ParsedArguments parsed = ParseToolArguments({"@" + path});
    std::printf("%s\n", parsed.options ? "read" : "refused");
    return 0;
  }
  return 2;
}
