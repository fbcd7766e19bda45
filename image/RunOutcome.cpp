#include "image/RunOutcome.h"

#include "common/DiskEntry.h"
#include "common/Texts.h"
#include "common/Translate.h"

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
  return RunEndMessage(MSG_IMAGE_NOT_CREATED, end, errorOutput, maxErrorLines);
}

std::string RunEndMessage(const char* heading, const ToolEnd& end, const std::string& errorOutput,
                          std::size_t maxErrorLines) {
  if (!end.bySignal && end.code == 0) return {};
  std::string text = Translated(heading) + "\n\n";
  text += end.bySignal ? TranslatedFormat("%s was ended by signal %d", TOOL_NAME, end.code)
                       : TranslatedFormat("%s ended with exit code %d", TOOL_NAME, end.code);
  const std::string tail = LastLines(errorOutput, maxErrorLines);
  if (!tail.empty()) text += "\n" + tail;
  return text;
}

std::string WrittenImageMessage(const std::string& imageTarget, std::optional<std::uint64_t> plannedBinBytes) {
  const std::string bin = imageTarget + ".bin", cue = imageTarget + ".cue";
  std::string missing;
  const std::optional<DiskEntry> image = LookUpPath(bin);
  if (!image || image->kind != DiskKind::File) {
    missing = TranslatedFormat("%s ended with exit code 0, but %s is not there", TOOL_NAME, bin.c_str());
  } else if (plannedBinBytes && image->size != *plannedBinBytes) {
    missing = TranslatedFormat("%s ended with exit code 0, but %s has %llu bytes, not the %llu planned", TOOL_NAME,
                               bin.c_str(), static_cast<unsigned long long>(image->size),
                               static_cast<unsigned long long>(*plannedBinBytes));
  } else if (const std::optional<DiskEntry> sheet = LookUpPath(cue); !sheet || sheet->kind != DiskKind::File) {
    missing = TranslatedFormat("%s ended with exit code 0, but %s is not there", TOOL_NAME, cue.c_str());
  }
  if (missing.empty()) return {};
  return Translated(MSG_IMAGE_NOT_CREATED) + "\n\n" + missing;
}

RunNotice NoticeOfRunEnd(const std::string& endMessage, const std::string& imageFile) {
  if (endMessage.empty()) return {Translated(MSG_IMAGE_CREATED), imageFile};
  const std::size_t titleEnd = endMessage.find('\n');
  if (titleEnd == std::string::npos) return {endMessage, {}};
  const std::size_t reason = endMessage.find_first_not_of('\n', titleEnd);
  return {endMessage.substr(0, titleEnd), reason == std::string::npos ? std::string() : endMessage.substr(reason)};
}
