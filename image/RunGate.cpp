#include "image/RunGate.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/DiskEntry.h"
#include "common/WholeFile.h"
#include "image/OutputCheck.h"

namespace {

// Empties an existing image and removes its cue sheet. False when either
// cannot be done.
bool EmptyImage(const std::string& imageTarget) {
  // Without waiting: a FIFO of that name (no image) fails at once.
  const int fd = open((imageTarget + ".bin").c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  if (close(fd) != 0) return false;
  return unlink((imageTarget + ".cue").c_str()) == 0 || errno == ENOENT;
}

// Checked before the start, so that a start that cannot happen is reported as such.
bool ToolCanStart(const std::string& toolPath) {
  const std::optional<DiskEntry> tool = LookUpPath(toolPath);
  return tool && tool->kind == DiskKind::File && access(toolPath.c_str(), X_OK) == 0;
}

}  // namespace

RunGateResult PassRunGate(const CommandLine& entries, const std::string& imageTarget, const std::string& toolPath,
                          const std::optional<PlannedBytes>& planned, const FreeSpaceSource& freeSpace,
                          const RunGateQuestions& ask) {
  if (planned) {
    const std::uint64_t need = BytesTheImageStillNeeds(planned->binBytes + planned->cueBytes, imageTarget);
    const std::optional<std::string> question = FreeSpaceQuestion(need, freeSpace(TargetFolder(imageTarget)));
    if (question && !ask.writeAnyway(*question)) return {RunGateStep::Declined, {}};
  }
  if (std::optional<std::string> refusal = ToolOutputRefusal(entries)) {
    return {RunGateStep::Refused, std::move(*refusal)};
  }
  if (FileIsReadable(imageTarget + ".bin")) {
    if (!ask.replaceImage()) return {RunGateStep::Declined, {}};
    if (!EmptyImage(imageTarget)) return {RunGateStep::CannotEmptyImage, {}};
  }
  if (!ToolCanStart(toolPath)) return {RunGateStep::ToolMissing, {}};
  return {RunGateStep::Go, {}};
}
