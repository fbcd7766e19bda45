#include "image/RunOutcome.h"

#include "common/Texts.h"

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
