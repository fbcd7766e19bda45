#include "image/RunOutcome.h"

#include "app/Texts.h"
#include "layout/DiskEntry.h"

std::string LastLines(const std::string& text, std::size_t maxLines) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  if (end == 0 || maxLines == 0) return {};
  std::size_t begin = end;
  std::size_t lines = 0;
  while (begin > 0) {
    if (text[begin - 1] == '\n' && ++lines == maxLines) break;
    --begin;
  }
  return text.substr(begin, end - begin);
}

std::string RunEndMessage(const ToolEnd& end, const std::string& errorOutput,
                          std::size_t maxErrorLines) {
  if (!end.bySignal && end.code == 0) return {};
  std::string text = std::string(MSG_IMAGE_NOT_CREATED) + "\n\n";
  text += std::string(TOOL_NAME) + (end.bySignal ? " was ended by signal " : " ended with exit code ");
  text += std::to_string(end.code);
  const std::string tail = LastLines(errorOutput, maxErrorLines);
  if (!tail.empty()) text += "\n" + tail;
  return text;
}

std::string WrittenImageMessage(const std::string& imageTarget, std::optional<std::uint64_t> plannedBinBytes) {
  const std::string bin = imageTarget + ".bin", cue = imageTarget + ".cue";
  std::string missing;
  const std::optional<DiskEntry> image = LookUpPath(bin);
  if (!image || image->kind != DiskKind::File) {
    missing = bin + " is not there";
  } else if (plannedBinBytes && image->size != *plannedBinBytes) {
    missing = bin + " has " + std::to_string(image->size) + " bytes, not the " +
              std::to_string(*plannedBinBytes) + " planned";
  } else if (const std::optional<DiskEntry> sheet = LookUpPath(cue); !sheet || sheet->kind != DiskKind::File) {
    missing = cue + " is not there";
  }
  if (missing.empty()) return {};
  return std::string(MSG_IMAGE_NOT_CREATED) + "\n\n" + TOOL_NAME + " ended with exit code 0, but " + missing;
}
