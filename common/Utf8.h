// UTF-8 as RFC 3629 defines it, for names kept as the bytes the file system
// gives: overlong forms, surrogates (U+D800 to U+DFFF) and code points past
// U+10FFFF are not characters. The program sorts and shows a name by it, the
// tool maps names into the image by it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

struct Utf8Character {
  char32_t codePoint;
  std::size_t length;  // bytes, 1 to 4
};

// The well-formed character that `bytes` starts with; none when `bytes` is
// empty or starts with a byte that begins no well-formed sequence (a stray
// continuation byte, a lead byte cut short or followed by a wrong byte).
std::optional<Utf8Character> DecodeUtf8(std::string_view bytes);

// Whether all of `bytes` is well-formed characters (the empty text is).
bool IsValidUtf8(std::string_view bytes);
