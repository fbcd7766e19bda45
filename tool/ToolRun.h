// One run of the tool: arguments in, image out, exit status back.
//   parse -> read sizes and build the image tree -> name and sort ->
//   assign sectors -> write the .bin -> write the .cue
#pragma once

#include <string>
#include <vector>

#include "tool/ToolError.h"

ExitCode RunTool(std::vector<std::string> args);
