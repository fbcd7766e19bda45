// Little-, big- and both-endian field writers for the on-disk structures.
// ISO 9660 "both-endian" fields hold the little-endian copy first, then the
// big-endian copy of the same value.
#pragma once

#include <cstddef>
#include <cstdint>

inline void PutLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutBe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

inline void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void PutBe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

inline void PutBoth16(std::uint8_t* p, std::uint16_t v) {
  PutLe16(p, v);
  PutBe16(p + 2, v);
}

inline void PutBoth32(std::uint8_t* p, std::uint32_t v) {
  PutLe32(p, v);
  PutBe32(p + 4, v);
}
