#include "image/ConsoleTail.h"

std::size_t LineStartAfterCut(std::wstring_view fromCut) {
  const std::size_t lineEnd = fromCut.substr(0, LINE_SEARCH).find(L'\n');
  return lineEnd != std::wstring_view::npos ? lineEnd + 1 : 0;
}

std::size_t KeptFrom(std::wstring_view text, std::size_t room) {
  if (text.size() <= room) return 0;
  const std::size_t cut = text.size() - room;
  return cut + LineStartAfterCut(text.substr(cut));
}
