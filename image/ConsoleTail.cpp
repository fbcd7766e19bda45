#include "image/ConsoleTail.h"

std::size_t KeptFrom(std::wstring_view text, std::size_t room) {
  if (text.size() <= room) return 0;
  const std::size_t cut = text.size() - room;
  const std::size_t lineEnd = text.find(L'\n', cut);
  return lineEnd != std::wstring_view::npos && lineEnd - cut < LINE_SEARCH ? lineEnd + 1 : cut;
}
