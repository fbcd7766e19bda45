// Before Write ISO empties an old image: what the tool would refuse about its
// outputs, found by the tool's own checks (tool/ImageOutputs.h) on the inputs
// as the tool finds them, so that an input named TARGET.bin or TARGET.cue, by
// any path or link, is never emptied by the window before the tool refuses it.
#pragma once

#include <optional>
#include <string>

#include "image/CommandLine.h"

// The tool's reason ("Cannot write /d/disc.bin: it is the input file ..."),
// or nothing when the run may go ahead. Only an image or cue sheet that is
// already there can be lost: without either, nothing is looked up.
std::optional<std::string> ToolOutputRefusal(const CommandLine& entries);
