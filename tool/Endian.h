// Little-, big- and both-endian field writers for the on-disk structures.
// ISO 9660 "both-endian" fields hold the little-endian copy first, then the
// big-endian copy of the same value.
#pragma once

#include <cstddef>
#include <cstdint>

inline void putLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void putBe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

inline void putLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void putBe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

inline void putBoth16(std::uint8_t* p, std::uint16_t v) {
  putLe16(p, v);
  putBe16(p + 2, v);
}

inline void putBoth32(std::uint8_t* p, std::uint32_t v) {
  putLe32(p, v);
  putBe32(p + 4, v);
}
