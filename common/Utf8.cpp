#include "common/Utf8.h"

std::optional<Utf8Character> DecodeUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) return Utf8Character{lead, 1};
  std::size_t length = 0;
  char32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07;
  } else {
    return std::nullopt;  // a continuation byte, or C0, C1, F5 to FF
  }
  if (bytes.size() < length) return std::nullopt;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  // The shortest form only, and no surrogate or code point past U+10FFFF.
  constexpr char32_t LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
  if (codePoint < LEAST[length] || codePoint > 0x10FFFF) return std::nullopt;
  if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return std::nullopt;
  return Utf8Character{codePoint, length};
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::optional<Utf8Character> c = DecodeUtf8(bytes);
    if (!c) return false;
    bytes.remove_prefix(c->length);
  }
  return true;
}
