#include "tool/SectorCode.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sector {
namespace {

// ---- EDC ------------------------------------------------------------------
// Generator (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1)
//         = x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1  (0x8001801B),
// processed least significant bit first: the reflected constant is 0xD8018001.
constexpr std::uint32_t kEdcPolynomialReflected = 0xD8018001u;

// Slice-by-8 tables: kEdcTables[0] is the ordinary byte table, kEdcTables[k]
// advances a byte that stands k positions before the end of an 8-byte group.
using EdcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr EdcTables makeEdcTables() {
  EdcTables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r >> 1) ^ ((r & 1u) ? kEdcPolynomialReflected : 0u);
    t[0][i] = r;
  }
  for (std::size_t k = 1; k < 8; ++k)
    for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
  return t;
}

constexpr EdcTables kEdcTables = makeEdcTables();
static_assert(kEdcTables[0][1] == 0x90910101u);
static_assert(kEdcTables[0][128] == 0xD8018001u);
static_assert(kEdcTables[0][255] == 0x7070FF00u);

inline std::uint32_t loadLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// ---- ECC ------------------------------------------------------------------
// GF(2^8) with primitive polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D), alpha = 2.
constexpr unsigned kGfPolynomial = 0x11D;

constexpr std::uint8_t gfTimesAlpha(std::uint8_t v) {
  unsigned r = unsigned{v} << 1;
  return static_cast<std::uint8_t>((r & 0x100u) ? (r ^ kGfPolynomial) : r);
}

constexpr std::uint8_t gfMultiply(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  for (int bit = 7; bit >= 0; --bit) {
    product = gfTimesAlpha(product);
    if (b & (1u << bit)) product ^= a;
  }
  return product;
}

constexpr std::uint8_t gfAlphaPower(unsigned n) {
  std::uint8_t v = 1;
  for (unsigned i = 0; i < n; ++i) v = gfTimesAlpha(v);
  return v;
}

constexpr std::uint8_t gfInverse(std::uint8_t v) {
  for (unsigned x = 1; x < 256; ++x)
    if (gfMultiply(static_cast<std::uint8_t>(x), v) == 1) return static_cast<std::uint8_t>(x);
  return 0;
}

// A parity vector v_0..v_{n-1} (data, then the two check bytes) satisfies
//   sum v_i = 0   and   sum alpha^(n-1-i) v_i = 0.
// Solved for the check bytes: p0 = sum d_i (1 + alpha^(n-1-i)) / (alpha + 1),
// p1 = p0 + sum d_i. Each data position therefore has a fixed pair of
// multipliers; one table per position gives both contributions at once
// (p0 in the low byte, p1 in the high byte).
constexpr std::uint8_t kInverseOfAlphaPlusOne = gfInverse(3);
static_assert(kInverseOfAlphaPlusOne == 0xF4);

constexpr std::size_t kPVectors = 86, kPLength = 24;  // 24 data bytes + 2 check bytes
constexpr std::size_t kQVectors = 52, kQLength = 43;  // 43 data bytes + 2 check bytes
constexpr std::size_t kEccBlockSize = 2064;           // bytes 12..2075
constexpr std::size_t kEccQBlockSize = 2236;          // bytes 12..2247 (block + P)

template <std::size_t DataLength>
constexpr std::array<std::array<std::uint16_t, 256>, DataLength> makeParityTables() {
  std::array<std::array<std::uint16_t, 256>, DataLength> t{};
  constexpr unsigned n = DataLength + 2;
  for (unsigned i = 0; i < DataLength; ++i) {
    std::uint8_t c0 = gfMultiply(static_cast<std::uint8_t>(1u ^ gfAlphaPower(n - 1 - i)),
                                 kInverseOfAlphaPlusOne);
    std::uint8_t c1 = static_cast<std::uint8_t>(c0 ^ 1u);
    for (unsigned v = 0; v < 256; ++v) {
      std::uint8_t d = static_cast<std::uint8_t>(v);
      t[i][v] = static_cast<std::uint16_t>(gfMultiply(d, c0) | gfMultiply(d, c1) << 8);
    }
  }
  return t;
}

constexpr auto kPTables = makeParityTables<kPLength>();
constexpr auto kQTables = makeParityTables<kQLength>();

// Q vector j takes byte (86 * (j / 2) + j % 2 + 88 * m) mod 2236 for m = 0..42.
constexpr std::array<std::array<std::uint16_t, kQVectors>, kQLength> makeQIndex() {
  std::array<std::array<std::uint16_t, kQVectors>, kQLength> index{};
  for (std::size_t m = 0; m < kQLength; ++m)
    for (std::size_t j = 0; j < kQVectors; ++j)
      index[m][j] = static_cast<std::uint16_t>((86 * (j >> 1) + (j & 1) + 88 * m) % kEccQBlockSize);
  return index;
}

constexpr auto kQIndex = makeQIndex();

void computeP(const std::uint8_t* block, std::uint8_t* parity) {
  std::array<std::uint16_t, kPVectors> acc{};
  for (std::size_t m = 0; m < kPLength; ++m) {
    const auto& table = kPTables[m];
    const std::uint8_t* row = block + kPVectors * m;
    for (std::size_t j = 0; j < kPVectors; ++j) acc[j] ^= table[row[j]];
  }
  for (std::size_t j = 0; j < kPVectors; ++j) {
    parity[j] = static_cast<std::uint8_t>(acc[j]);
    parity[kPVectors + j] = static_cast<std::uint8_t>(acc[j] >> 8);
  }
}

void computeQ(const std::uint8_t* block, std::uint8_t* parity) {
  std::array<std::uint16_t, kQVectors> acc{};
  for (std::size_t m = 0; m < kQLength; ++m) {
    const auto& table = kQTables[m];
    const auto& index = kQIndex[m];
    for (std::size_t j = 0; j < kQVectors; ++j) acc[j] ^= table[block[index[j]]];
  }
  for (std::size_t j = 0; j < kQVectors; ++j) {
    parity[j] = static_cast<std::uint8_t>(acc[j]);
    parity[kQVectors + j] = static_cast<std::uint8_t>(acc[j] >> 8);
  }
}

constexpr std::array<std::uint8_t, kSyncSize> kSync = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

inline std::uint8_t toBcd(std::uint32_t v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); }

void writeCommonPart(SectorSpan sector, Subheader subheader) {
  std::copy(kSync.begin(), kSync.end(), sector.begin() + kSyncOffset);
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode,
                              subheader.coding};
  std::memcpy(sector.data() + kSubheaderOffset, sh, 4);
  std::memcpy(sector.data() + kSubheaderCopyOffset, sh, 4);
}

void writeHeader(SectorSpan sector, std::uint32_t lba) {
  writeAddress(sector.data() + kHeaderOffset, lba);
  sector[kModeOffset] = 0x02;
}

void storeEdc(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::uint32_t edc(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
  const auto& t = kEdcTables;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint32_t lo = loadLe32(p) ^ crc;
    std::uint32_t hi = loadLe32(p + 4);
    crc = t[7][lo & 0xFFu] ^ t[6][(lo >> 8) & 0xFFu] ^ t[5][(lo >> 16) & 0xFFu] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFFu] ^ t[2][(hi >> 8) & 0xFFu] ^ t[1][(hi >> 16) & 0xFFu] ^ t[0][hi >> 24];
  }
  for (; n > 0; ++p, --n) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFFu];
  return crc;
}

void computeEcc(SectorSpan sector) {
  std::uint8_t* block = sector.data() + kHeaderOffset;
  computeP(block, sector.data() + kEccPOffset);
  computeQ(block, sector.data() + kEccQOffset);
}

void writeAddress(std::uint8_t* out3, std::uint32_t lba) {
  const std::uint32_t a = lba + kAddressOffset;
  const std::uint32_t perMinute = 60 * kSectorsPerSecond;
  out3[0] = toBcd(a / perMinute);
  out3[1] = toBcd((a / kSectorsPerSecond) % 60);
  out3[2] = toBcd(a % kSectorsPerSecond);
}

void encodeForm1(SectorSpan sector, std::uint32_t lba, Subheader subheader) {
  subheader.submode = static_cast<std::uint8_t>(subheader.submode & ~kSubmodeForm2);
  writeCommonPart(sector, subheader);
  const std::size_t covered = kForm1EdcOffset - kSubheaderOffset;
  storeEdc(sector.data() + kForm1EdcOffset, edc({sector.data() + kSubheaderOffset, covered}));
  std::fill_n(sector.data() + kHeaderOffset, 4, std::uint8_t{0});  // the ECC never sees the header
  computeEcc(sector);
  writeHeader(sector, lba);
}

void encodeForm2(SectorSpan sector, std::uint32_t lba, Subheader subheader) {
  subheader.submode = static_cast<std::uint8_t>(subheader.submode | kSubmodeForm2);
  writeCommonPart(sector, subheader);
  writeHeader(sector, lba);
  const std::size_t covered = kForm2EdcOffset - kSubheaderOffset;
  storeEdc(sector.data() + kForm2EdcOffset, edc({sector.data() + kSubheaderOffset, covered}));
}

}  // namespace sector
