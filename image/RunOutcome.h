// How a run of the tool ended, and the message the window shows for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/Texts.h"

struct ToolEnd {
  bool bySignal = false;  // ended by a signal rather than by exiting
  int code = 0;           // exit status, or the signal number
};

// Nothing when the tool exited with status 0 ("Image Created" is shown then);
// otherwise "Image Not Created", a blank line, how the tool ended and the last
// lines (at most maxErrorLines) of what it wrote to its error output.
std::string RunEndMessage(const ToolEnd& end, const std::string& errorOutput,
                          std::size_t maxErrorLines = 10);

// After a run that exited 0, whether the image is really there: nothing when
// TARGET.bin has the size the plan gave (any size when there was no plan) and
// TARGET.cue exists; otherwise "Image Not Created", a blank line and what is
// missing. A tool that exits 0 without writing is no success.
std::string WrittenImageMessage(const std::string& imageTarget, std::optional<std::uint64_t> plannedBinBytes);

// The last maxLines lines of text, without the final line end.
std::string LastLines(const std::string& text, std::size_t maxLines);

