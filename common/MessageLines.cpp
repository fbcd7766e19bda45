#include "common/MessageLines.h"

std::wstring MiddleShortened(const std::wstring& text, std::size_t maxChars) {
  static const std::wstring dots = L"...";
  if (text.size() <= maxChars) return text;
  if (maxChars <= dots.size()) return text.substr(0, maxChars);
  const std::size_t kept = maxChars - dots.size();
  const std::size_t tail = kept / 2;
  return text.substr(0, kept - tail) + dots + text.substr(text.size() - tail);
}

std::wstring LinesShortened(const std::wstring& text, std::size_t maxChars) {
  std::wstring out;
  std::size_t start = 0;
  for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
    out += MiddleShortened(text.substr(start, end - start), maxChars) + L'\n';
    start = end + 1;
  }
  return out + MiddleShortened(text.substr(start), maxChars);
}
