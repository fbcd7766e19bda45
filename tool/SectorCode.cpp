#include "tool/SectorCode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "tool/SectorCodeMath.h"

namespace sector {
namespace {

using namespace math;

// ---- EDC (portable) -------------------------------------------------------
// Slice-by-16 tables: EDC_TABLES[0] is the ordinary byte table, EDC_TABLES[k]
// advances a byte that stands k positions before the end of a 16-byte group.
constexpr std::size_t EDC_SLICES = 16;
using EdcTables = std::array<std::array<std::uint32_t, 256>, EDC_SLICES>;

constexpr EdcTables MakeEdcTables() {
  EdcTables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r >> 1) ^ ((r & 1u) ? EDC_POLYNOMIAL_REFLECTED : 0u);
    t[0][i] = r;
  }
  for (std::size_t k = 1; k < EDC_SLICES; ++k)
    for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
  return t;
}

constexpr EdcTables EDC_TABLES = MakeEdcTables();
static_assert(EDC_TABLES[0][1] == 0x90910101u);
static_assert(EDC_TABLES[0][128] == 0xD8018001u);
static_assert(EDC_TABLES[0][255] == 0x7070FF00u);

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// ---- ECC (portable) -------------------------------------------------------
constexpr std::array<std::uint8_t, 256> MakeDivideByAlphaPlusOne() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned v = 0; v < 256; ++v) t[v] = GfMultiply(static_cast<std::uint8_t>(v), INVERSE_OF_ALPHA_PLUS_ONE);
  return t;
}

constexpr auto DIVIDE_BY_ALPHA_PLUS_ONE = MakeDivideByAlphaPlusOne();

constexpr std::size_t P_WORDS = 11, Q_WORDS = 7;      // 8 vectors per 64-bit word

// The vectors are independent, so eight of them advance at once, one byte
// lane each: XOR for the sums, and multiply-by-alpha on every lane.
inline std::uint64_t TimesAlphaPerLane(std::uint64_t v) {
  const std::uint64_t high = (v >> 7) & 0x0101010101010101ull;
  return ((v & 0x7F7F7F7F7F7F7F7Full) << 1) ^ (high * (GF_POLYNOMIAL & 0xFFu));
}

// Lane i of a word is byte i, whatever the host's byte order.
inline std::uint64_t LoadLanes(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
  } else {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= std::uint64_t{p[i]} << (8 * i);
    return v;
  }
}

inline std::uint8_t Lane(std::uint64_t v, std::size_t i) { return static_cast<std::uint8_t>(v >> (8 * i)); }

// Folds one step of data (one byte per vector) into the sums.
inline void ParityStep(std::uint64_t v, std::uint64_t& sum, std::uint64_t& horner) {
  sum ^= v;
  horner = TimesAlphaPerLane(horner) ^ v;
}

// Check bytes of `vectors` vectors from their sums: p0 to out[j], p1 to out[vectors + j].
void StoreCheckBytes(const std::uint64_t* sum, const std::uint64_t* horner, std::size_t vectors,
                     std::uint8_t* out) {
  for (std::size_t w = 0; w * 8 < vectors; ++w) {
    const std::uint64_t toDivide = sum[w] ^ TimesAlphaPerLane(TimesAlphaPerLane(horner[w]));
    for (std::size_t i = 0; i < 8 && w * 8 + i < vectors; ++i) {
      const std::uint8_t p0 = DIVIDE_BY_ALPHA_PLUS_ONE[Lane(toDivide, i)];
      out[w * 8 + i] = p0;
      out[vectors + w * 8 + i] = static_cast<std::uint8_t>(Lane(sum[w], i) ^ p0);
    }
  }
}

// P vector j takes block[j + 86 m], m = 0..23: step m is the contiguous row m.
// (The last word of a row reads two bytes of the next; those lanes are unused.)
void ComputeP(const std::uint8_t* block, std::uint8_t* parity) {
  std::uint64_t sum[P_WORDS] = {}, horner[P_WORDS] = {};
  for (std::size_t m = 0; m < P_LENGTH; ++m)
    for (std::size_t w = 0; w < P_WORDS; ++w) ParityStep(LoadLanes(block + P_VECTORS * m + 8 * w), sum[w], horner[w]);
  StoreCheckBytes(sum, horner, P_VECTORS, parity);
}

// Q vector j = 2k + b takes byte (86 k + b + 88 m) mod 2236 of block + P,
// m = 0..42: seen as 26 rows of 43 two-byte words, step m is column m read
// from row (k + m) mod 26 for vector pair k. The words are assembled in
// registers: small stores read back as one large load would stall.
constexpr std::size_t Q_ROWS = 26, Q_WORDS_PER_ROW = 43;

// Byte offset of the word that vector pair k takes at step m.
constexpr std::array<std::array<std::uint16_t, Q_ROWS>, Q_LENGTH> MakeQOffsets() {
  std::array<std::array<std::uint16_t, Q_ROWS>, Q_LENGTH> offsets{};
  for (std::size_t m = 0; m < Q_LENGTH; ++m)
    for (std::size_t k = 0; k < Q_ROWS; ++k)
      offsets[m][k] = static_cast<std::uint16_t>(2 * (Q_WORDS_PER_ROW * ((k + m) % Q_ROWS) + m));
  return offsets;
}

constexpr auto Q_OFFSETS = MakeQOffsets();

void ComputeQ(const std::uint8_t* block, std::uint8_t* parity) {
  constexpr std::size_t FULL_WORDS = Q_ROWS / 4;
  std::uint64_t sum[Q_WORDS] = {}, horner[Q_WORDS] = {};
  for (std::size_t m = 0; m < Q_LENGTH; ++m) {
    const std::uint16_t* at = Q_OFFSETS[m].data();
    auto pair = [&](std::size_t k) {
      const std::uint8_t* p = block + at[k];
      return std::uint64_t{p[0]} | std::uint64_t{p[1]} << 8;
    };
    for (std::size_t w = 0; w < FULL_WORDS; ++w) {
      const std::size_t k = 4 * w;
      ParityStep(pair(k) | pair(k + 1) << 16 | pair(k + 2) << 32 | pair(k + 3) << 48, sum[w], horner[w]);
    }
    ParityStep(pair(24) | pair(25) << 16, sum[FULL_WORDS], horner[FULL_WORDS]);  // the last two pairs
  }
  StoreCheckBytes(sum, horner, Q_VECTORS, parity);
}

constexpr std::array<std::uint8_t, SYNC_SIZE> SYNC = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

inline std::uint8_t ToBcd(std::uint32_t v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); }

void WriteSubheader(SectorSpan sector, Subheader subheader) {
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode,
                              subheader.coding};
  std::memcpy(sector.data() + SUBHEADER_OFFSET, sh, 4);
}

void WriteHeader(SectorSpan sector, std::uint32_t lba) {
  WriteAddress(sector.data() + HEADER_OFFSET, lba);
  sector[MODE_OFFSET] = 0x02;
}

void StoreEdc(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t EdcPortable(const std::uint8_t* p, std::size_t n, std::uint32_t crc) {
  const auto& t = EDC_TABLES;
  for (; n >= EDC_SLICES; p += EDC_SLICES, n -= EDC_SLICES) {
    const std::uint32_t w0 = LoadLe32(p) ^ crc, w1 = LoadLe32(p + 4), w2 = LoadLe32(p + 8), w3 = LoadLe32(p + 12);
    crc = t[15][w0 & 0xFFu] ^ t[14][(w0 >> 8) & 0xFFu] ^ t[13][(w0 >> 16) & 0xFFu] ^ t[12][w0 >> 24] ^
          t[11][w1 & 0xFFu] ^ t[10][(w1 >> 8) & 0xFFu] ^ t[9][(w1 >> 16) & 0xFFu] ^ t[8][w1 >> 24] ^
          t[7][w2 & 0xFFu] ^ t[6][(w2 >> 8) & 0xFFu] ^ t[5][(w2 >> 16) & 0xFFu] ^ t[4][w2 >> 24] ^
          t[3][w3 & 0xFFu] ^ t[2][(w3 >> 8) & 0xFFu] ^ t[1][(w3 >> 16) & 0xFFu] ^ t[0][w3 >> 24];
  }
  for (; n >= 4; p += 4, n -= 4) {
    const std::uint32_t w = LoadLe32(p) ^ crc;
    crc = t[3][w & 0xFFu] ^ t[2][(w >> 8) & 0xFFu] ^ t[1][(w >> 16) & 0xFFu] ^ t[0][w >> 24];
  }
  for (; n > 0; ++p, --n) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFFu];
  return crc;
}

void EccPortable(std::uint8_t* sector) {
  std::uint8_t* block = sector + HEADER_OFFSET;
  ComputeP(block, sector + ECC_P_OFFSET);
  ComputeQ(block, sector + ECC_Q_OFFSET);
}

constexpr CodePath PORTABLE_PATH = {"portable", EdcPortable, EccPortable};

// BRENVOX_SECTOR_CODE=portable keeps to the portable path (tests compare
// whole images made on each path).
const CodePath& ChooseCodePath() {
  const char* wanted = std::getenv("BRENVOX_SECTOR_CODE");
  if (wanted && std::strcmp(wanted, "portable") == 0) return PORTABLE_PATH;
  const std::vector<const CodePath*> paths = SupportedCodePaths();
  return *paths.back();
}

}  // namespace

std::vector<const CodePath*> SupportedCodePaths() {
  std::vector<const CodePath*> paths = {&PORTABLE_PATH};
  for (const CodePath* x86 : X86CodePaths()) paths.push_back(x86);
  return paths;
}

const CodePath& ActiveCodePath() {
  static const CodePath& chosen = ChooseCodePath();
  return chosen;
}

std::uint32_t Edc(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  return EdcPortable(bytes.data(), bytes.size(), crc);
}

void ComputeEcc(SectorSpan sector) { EccPortable(sector.data()); }

void WriteAddress(std::uint8_t* out3, std::uint32_t lba) {
  const std::uint32_t a = lba + ADDRESS_OFFSET;
  const std::uint32_t perMinute = 60 * SECTORS_PER_SECOND;
  out3[0] = ToBcd(a / perMinute);
  out3[1] = ToBcd((a / SECTORS_PER_SECOND) % 60);
  out3[2] = ToBcd(a % SECTORS_PER_SECOND);
}

void EncodeSector(SectorSpan sector, std::uint32_t lba, const CodePath& path) {
  std::uint8_t* s = sector.data();
  std::copy(SYNC.begin(), SYNC.end(), s + SYNC_OFFSET);
  std::memcpy(s + SUBHEADER_COPY_OFFSET, s + SUBHEADER_OFFSET, 4);
  if (s[SUBHEADER_OFFSET + 2] & SUBMODE_FORM2) {
    WriteHeader(sector, lba);
    StoreEdc(s + FORM2_EDC_OFFSET, path.edc(s + SUBHEADER_OFFSET, FORM2_EDC_OFFSET - SUBHEADER_OFFSET, 0));
    return;
  }
  StoreEdc(s + FORM1_EDC_OFFSET, path.edc(s + SUBHEADER_OFFSET, FORM1_EDC_OFFSET - SUBHEADER_OFFSET, 0));
  std::fill_n(s + HEADER_OFFSET, 4, std::uint8_t{0});  // the ECC never sees the header
  path.ecc(s);
  WriteHeader(sector, lba);
}

void EncodeForm1(SectorSpan sector, std::uint32_t lba, Subheader subheader, const CodePath& path) {
  subheader.submode = static_cast<std::uint8_t>(subheader.submode & ~SUBMODE_FORM2);
  WriteSubheader(sector, subheader);
  EncodeSector(sector, lba, path);
}

void EncodeForm2(SectorSpan sector, std::uint32_t lba, Subheader subheader, const CodePath& path) {
  subheader.submode = static_cast<std::uint8_t>(subheader.submode | SUBMODE_FORM2);
  WriteSubheader(sector, subheader);
  EncodeSector(sector, lba, path);
}

}  // namespace sector
