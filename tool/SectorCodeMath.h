// The arithmetic both sector code paths share (portable and processor
// specific): GF(2^8) for the ECC, polynomials over GF(2) for the EDC, all
// constexpr so every table and folding constant is derived from the written
// out polynomials at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace sector::math {

// ---- GF(2^8) with primitive polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D), alpha = 2.
inline constexpr unsigned GF_POLYNOMIAL = 0x11D;

constexpr std::uint8_t GfTimesAlpha(std::uint8_t v) {
  unsigned r = unsigned{v} << 1;
  return static_cast<std::uint8_t>((r & 0x100u) ? (r ^ GF_POLYNOMIAL) : r);
}

constexpr std::uint8_t GfMultiply(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  for (int bit = 7; bit >= 0; --bit) {
    product = GfTimesAlpha(product);
    if (b & (1u << bit)) product ^= a;
  }
  return product;
}

constexpr std::uint8_t GfAlphaPower(unsigned n) {
  std::uint8_t v = 1;
  for (unsigned i = 0; i < n % 255; ++i) v = GfTimesAlpha(v);
  return v;
}

constexpr std::uint8_t GfInverse(std::uint8_t v) {
  for (unsigned x = 1; x < 256; ++x)
    if (GfMultiply(static_cast<std::uint8_t>(x), v) == 1) return static_cast<std::uint8_t>(x);
  return 0;
}

// A parity vector v_0..v_{n-1} (data d_i, then the check bytes p0, p1) satisfies
//   sum v_i = 0   and   sum alpha^(n-1-i) v_i = 0.
// With A = sum d_i and B = sum alpha^(n-1-i) d_i (Horner over the data, then
// two more steps): p0 = (A + B) / (alpha + 1), p1 = A + p0.
inline constexpr std::uint8_t INVERSE_OF_ALPHA_PLUS_ONE = GfInverse(3);
static_assert(INVERSE_OF_ALPHA_PLUS_ONE == 0xF4);

// The ECC's two product codes over bytes 12..2075 (header zeroed) then P.
inline constexpr std::size_t P_VECTORS = 86, P_LENGTH = 24;  // 24 data bytes + 2 check bytes
inline constexpr std::size_t Q_VECTORS = 52, Q_LENGTH = 43;  // 43 data bytes + 2 check bytes
inline constexpr std::size_t Q_BLOCK_WORDS = 1118;            // 2236 bytes of data and P, as 16-bit words

// ---- EDC: CRC-32 with generator
//   (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1) = x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1,
// processed least significant bit first (reflected constant 0xD8018001).
inline constexpr std::uint64_t EDC_POLYNOMIAL = 0x18001801Bull;  // with its x^32 term
inline constexpr std::uint32_t EDC_POLYNOMIAL_REFLECTED = 0xD8018001u;

// x^n mod the EDC polynomial, bit i standing for x^i.
constexpr std::uint64_t EdcPowerOfX(unsigned n) {
  std::uint64_t r = 1;
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r >> 32) r ^= EDC_POLYNOMIAL;
  }
  return r;
}

// floor(x^64 / polynomial): the Barrett reduction's constant (degree 32).
constexpr std::uint64_t EdcBarrettQuotient() {
  std::uint64_t quotient = 1ull << 32;
  std::uint64_t rest = EDC_POLYNOMIAL << 32;  // x^64 minus polynomial * x^32, the x^64 terms cancelling
  for (int i = 63; i >= 32; --i)
    if ((rest >> i) & 1u) {
      quotient |= 1ull << (i - 32);
      rest ^= EDC_POLYNOMIAL << (i - 32);
    }
  return quotient;
}

// A polynomial of degree at most 32 in the least-significant-bit-first order
// of the carry-less multiplier: bit i stands for x^(32 - i).
constexpr std::uint64_t Reflect33(std::uint64_t k) {
  std::uint64_t r = 0;
  for (int j = 0; j <= 32; ++j)
    if ((k >> j) & 1u) r |= 1ull << (32 - j);
  return r;
}

static_assert(Reflect33(EDC_POLYNOMIAL) == (std::uint64_t{EDC_POLYNOMIAL_REFLECTED} << 1 | 1));

}  // namespace sector::math
