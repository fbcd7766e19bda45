// What Write ISO settles before brenvox.exe starts, in this order: room for
// the planned image in the target's file system (asked), what the tool would
// refuse about its outputs (said before anything is emptied), an existing
// image (asked, then emptied and its cue sheet removed, so that the emptied
// image never poses as a disc), and a tool that can be started.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/CommandLine.h"
#include "image/FreeSpace.h"

// The sizes of the image and its cue sheet by the plan made for the run.
struct PlannedBytes {
  std::uint64_t binBytes = 0;
  std::uint64_t cueBytes = 0;
};

enum class RunGateStep {
  Go,                // the tool may start
  Declined,          // a question was answered No: nothing was changed
  Refused,           // the tool would refuse its outputs: `refusal` says why
  CannotEmptyImage,  // the old image could not be emptied
  ToolMissing,       // no executable regular file at the tool's path
};

struct RunGateResult {
  RunGateStep step = RunGateStep::Go;
  std::string refusal;
};

// The user's answers: true goes on.
struct RunGateQuestions {
  std::function<bool(const std::string& lowSpaceQuestion)> writeAnyway;
  std::function<bool()> replaceImage;
};

// planned: nothing when there is no plan (the tool then says why), and no
// room is asked about.
RunGateResult PassRunGate(const CommandLine& entries, const std::string& imageTarget, const std::string& toolPath,
                          const std::optional<PlannedBytes>& planned, const FreeSpaceSource& freeSpace,
                          const RunGateQuestions& ask);
