// The x86-64 sector code paths, chosen at run time when the processor has
// carry-less multiplication (PCLMULQDQ, SSE4.1; VPCLMULQDQ for 256 bits) and AVX2. Only these
// functions are compiled for those instructions; the rest of the program
// keeps to the baseline, and SectorCode.cpp falls back to the portable path.
//
// EDC: the message is folded 64 bytes at a time (128 with 256-bit
//   carry-less multiplication) with carry-less products by
//   x^n mod G (the CRC's generator), down to 128 bits, then 64, then reduced
//   to 32 by Barrett's method. Constants are derived from G at compile time.
// ECC: each 32-byte register holds 32 parity vectors, one byte lane each;
//   multiply-by-alpha on every lane is a byte add, a sign mask and an XOR.
//   P reads its vectors' bytes as contiguous rows. Q's vectors run along
//   diagonals: word w+1 of the block is the next step of the previous vector
//   pair, so a 32-byte load at word 43 k + 44 s gives vector pair k - t its
//   step s + t in lane t; a lane outside its steps 0..42 is left as it is.
#include "tool/SectorCode.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include "tool/SectorCodeMath.h"

namespace sector {
namespace {

using namespace math;

// ---- EDC ------------------------------------------------------------------
// Folding constants in the multiplier's bit order (Reflect33): across 1024
// or 512 bits (for the high half of 128 bits, then the low), across 128 bits,
// from 96 to 64 bits, then the Barrett constants.
constexpr std::uint64_t FOLD1024_HIGH = Reflect33(EdcPowerOfX(8 * 128 + 32));
constexpr std::uint64_t FOLD1024_LOW = Reflect33(EdcPowerOfX(8 * 128 - 32));
constexpr std::uint64_t FOLD512_HIGH = Reflect33(EdcPowerOfX(4 * 128 + 32));
constexpr std::uint64_t FOLD512_LOW = Reflect33(EdcPowerOfX(4 * 128 - 32));
constexpr std::uint64_t FOLD128_HIGH = Reflect33(EdcPowerOfX(128 + 32));
constexpr std::uint64_t FOLD128_LOW = Reflect33(EdcPowerOfX(128 - 32));
constexpr std::uint64_t FOLD64 = Reflect33(EdcPowerOfX(64));
constexpr std::uint64_t BARRETT_QUOTIENT = Reflect33(EdcBarrettQuotient());
constexpr std::uint64_t EDC_GENERATOR = Reflect33(EDC_POLYNOMIAL);

#define BRENVOX_CLMUL __attribute__((target("pclmul,sse4.1")))

BRENVOX_CLMUL inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// x * x^(distance) mod G, kept at 128 bits: both halves multiplied by their constant.
BRENVOX_CLMUL inline __m128i Fold(__m128i x, __m128i constants) {
  return _mm_xor_si128(_mm_clmulepi64_si128(x, constants, 0x00), _mm_clmulepi64_si128(x, constants, 0x11));
}

// The CRC register of 128 bits of message `x`.
BRENVOX_CLMUL std::uint32_t Reduce128(__m128i x) {
  const __m128i fold128 = _mm_set_epi64x(static_cast<long long>(FOLD128_LOW), static_cast<long long>(FOLD128_HIGH));
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  // 128 -> 96 bits: the high half times x^96 mod G onto the low half.
  x = _mm_xor_si128(_mm_clmulepi64_si128(x, fold128, 0x10), _mm_srli_si128(x, 8));
  // 96 -> 64 bits: the top 32 bits times x^64 mod G onto the rest.
  const __m128i fold64 = _mm_set_epi64x(0, static_cast<long long>(FOLD64));
  x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), fold64, 0x00), _mm_srli_si128(x, 4));
  // 64 -> 32 bits: Barrett reduction.
  const __m128i barrett = _mm_set_epi64x(static_cast<long long>(BARRETT_QUOTIENT), static_cast<long long>(EDC_GENERATOR));
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
  return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x, t), 1));
}

BRENVOX_CLMUL std::uint32_t EdcClmul(const std::uint8_t* p, std::size_t n, std::uint32_t crc) {
  if (n < 64) return Edc({p, n}, crc);
  const __m128i fold512 = _mm_set_epi64x(static_cast<long long>(FOLD512_LOW), static_cast<long long>(FOLD512_HIGH));
  const __m128i fold128 = _mm_set_epi64x(static_cast<long long>(FOLD128_LOW), static_cast<long long>(FOLD128_HIGH));
  __m128i x0 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load128(p + 16), x2 = Load128(p + 32), x3 = Load128(p + 48);
  for (p += 64, n -= 64; n >= 64; p += 64, n -= 64) {
    x0 = _mm_xor_si128(Fold(x0, fold512), Load128(p));
    x1 = _mm_xor_si128(Fold(x1, fold512), Load128(p + 16));
    x2 = _mm_xor_si128(Fold(x2, fold512), Load128(p + 32));
    x3 = _mm_xor_si128(Fold(x3, fold512), Load128(p + 48));
  }
  x0 = _mm_xor_si128(Fold(x0, fold128), x1);
  x0 = _mm_xor_si128(Fold(x0, fold128), x2);
  x0 = _mm_xor_si128(Fold(x0, fold128), x3);
  for (; n >= 16; p += 16, n -= 16) x0 = _mm_xor_si128(Fold(x0, fold128), Load128(p));
  return Edc({p, n}, Reduce128(x0));
}

#define BRENVOX_AVX2 __attribute__((target("avx2")))

BRENVOX_AVX2 inline __m256i Load256(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

BRENVOX_AVX2 inline void Store256(std::uint8_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The same folding with 256-bit carry-less multiplication: eight 128-bit
// chunks advance 128 bytes at a time, then fold into one.
#define BRENVOX_VPCLMUL __attribute__((target("vpclmulqdq,avx2,pclmul,sse4.1")))

BRENVOX_VPCLMUL inline __m256i Fold256(__m256i x, __m256i constants) {
  return _mm256_xor_si256(_mm256_clmulepi64_epi128(x, constants, 0x00), _mm256_clmulepi64_epi128(x, constants, 0x11));
}

BRENVOX_VPCLMUL std::uint32_t EdcVpclmul(const std::uint8_t* p, std::size_t n, std::uint32_t crc) {
  if (n < 256) return EdcClmul(p, n, crc);
  const __m256i fold1024 = _mm256_set_epi64x(static_cast<long long>(FOLD1024_LOW), static_cast<long long>(FOLD1024_HIGH),
                                             static_cast<long long>(FOLD1024_LOW), static_cast<long long>(FOLD1024_HIGH));
  __m256i y[4] = {_mm256_xor_si256(Load256(p), _mm256_set_epi32(0, 0, 0, 0, 0, 0, 0, static_cast<int>(crc))),
                  Load256(p + 32), Load256(p + 64), Load256(p + 96)};
  for (p += 128, n -= 128; n >= 128; p += 128, n -= 128)
    for (int i = 0; i < 4; ++i) y[i] = _mm256_xor_si256(Fold256(y[i], fold1024), Load256(p + 32 * i));
  const __m128i fold128 = _mm_set_epi64x(static_cast<long long>(FOLD128_LOW), static_cast<long long>(FOLD128_HIGH));
  __m128i x = _mm256_castsi256_si128(y[0]);
  x = _mm_xor_si128(Fold(x, fold128), _mm256_extracti128_si256(y[0], 1));
  for (int i = 1; i < 4; ++i) {
    x = _mm_xor_si128(Fold(x, fold128), _mm256_castsi256_si128(y[i]));
    x = _mm_xor_si128(Fold(x, fold128), _mm256_extracti128_si256(y[i], 1));
  }
  for (; n >= 16; p += 16, n -= 16) x = _mm_xor_si128(Fold(x, fold128), Load128(p));
  return Edc({p, n}, Reduce128(x));
}

// ---- ECC ------------------------------------------------------------------
BRENVOX_AVX2 inline __m256i TimesAlpha(__m256i v) {
  const __m256i carries = _mm256_cmpgt_epi8(_mm256_setzero_si256(), v);  // lanes with x^7 set
  const __m256i reduce = _mm256_set1_epi8(static_cast<char>(GF_POLYNOMIAL & 0xFFu));
  return _mm256_xor_si256(_mm256_add_epi8(v, v), _mm256_and_si256(carries, reduce));
}

// Multiply by a constant, nibble by nibble through two 16-entry tables.
struct NibbleTables {
  std::array<std::uint8_t, 32> low{}, high{};  // each 16-entry table twice, once per 128-bit half
};

constexpr NibbleTables MakeNibbleTables(std::uint8_t factor) {
  NibbleTables t;
  for (unsigned i = 0; i < 32; ++i) {
    t.low[i] = GfMultiply(static_cast<std::uint8_t>(i % 16), factor);
    t.high[i] = GfMultiply(static_cast<std::uint8_t>((i % 16) << 4), factor);
  }
  return t;
}

constexpr NibbleTables DIVIDE_BY_ALPHA_PLUS_ONE = MakeNibbleTables(INVERSE_OF_ALPHA_PLUS_ONE);

BRENVOX_AVX2 inline __m256i DivideByAlphaPlusOne(__m256i v) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i low = _mm256_shuffle_epi8(Load256(DIVIDE_BY_ALPHA_PLUS_ONE.low.data()), _mm256_and_si256(v, nibble));
  const __m256i high = _mm256_shuffle_epi8(Load256(DIVIDE_BY_ALPHA_PLUS_ONE.high.data()),
                                           _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
  return _mm256_xor_si256(low, high);
}

// P: vector j takes block[j + 86 m]; step m is the contiguous row m, three
// registers wide (the last reads 10 bytes past the row, into lanes unused).
// The check bytes are stored p0 then p1, each register's unused lanes
// landing where a later store (p1, then Q) overwrites them.
BRENVOX_AVX2 void ComputePAvx2(const std::uint8_t* block, std::uint8_t* parity) {
  __m256i sum[3] = {}, horner[3] = {};
  for (std::size_t m = 0; m < P_LENGTH; ++m)
    for (int r = 0; r < 3; ++r) {
      const __m256i d = Load256(block + P_VECTORS * m + 32 * r);
      sum[r] = _mm256_xor_si256(sum[r], d);
      horner[r] = _mm256_xor_si256(TimesAlpha(horner[r]), d);
    }
  __m256i second[3];
  for (int r = 0; r < 3; ++r) {
    const __m256i p0 = DivideByAlphaPlusOne(_mm256_xor_si256(sum[r], TimesAlpha(TimesAlpha(horner[r]))));
    Store256(parity + 32 * r, p0);
    second[r] = _mm256_xor_si256(sum[r], p0);
  }
  for (int r = 0; r < 3; ++r) Store256(parity + P_VECTORS + 32 * r, second[r]);
}

// Q in two registers of 16-bit lanes: pairs 15..0, and pairs 25..10 (of
// which only 25..16 are stored), both advancing over the same steps.
constexpr int Q_LANES = 16;  // 16-bit lanes per register
constexpr int Q_ROW_WORDS = 43;
constexpr int Q_DIAGONAL_WORDS = 44;
constexpr int Q_PAIRS = static_cast<int>(Q_VECTORS / 2);

// Lane t holds step s + t: the mask of step s starts at word s + 15.
struct QStepMask {
  std::array<std::uint16_t, Q_LANES + Q_LENGTH + 2 * Q_LANES> words{};
};

constexpr QStepMask MakeQStepMask() {
  QStepMask m;
  for (std::size_t i = 0; i < m.words.size(); ++i)
    m.words[i] = (i >= Q_LANES - 1 && i < Q_LANES - 1 + Q_LENGTH) ? 0xFFFF : 0;
  return m;
}

constexpr QStepMask Q_STEP_MASK = MakeQStepMask();

// The word each step loads, for lane 0 = pair 15 and lane 0 = pair 25.
constexpr int Q_STEPS = Q_LANES - 1 + static_cast<int>(Q_LENGTH);  // s = -15..42

constexpr std::array<std::array<std::uint16_t, Q_STEPS>, 2> MakeQStepWords() {
  std::array<std::array<std::uint16_t, Q_STEPS>, 2> words{};
  const int blockWords = static_cast<int>(Q_BLOCK_WORDS);
  const int firstPairs[2] = {Q_LANES - 1, Q_PAIRS - 1};
  for (int g = 0; g < 2; ++g)
    for (int i = 0; i < Q_STEPS; ++i) {
      const int s = i - (Q_LANES - 1);
      words[g][i] = static_cast<std::uint16_t>(
          ((Q_ROW_WORDS * firstPairs[g] + Q_DIAGONAL_WORDS * s) % blockWords + blockWords) % blockWords);
    }
  return words;
}

constexpr auto Q_STEP_WORDS = MakeQStepWords();

// The 16 words of the block from word w on. Near its end they wrap around to
// its start: `seam` holds its last 32 bytes, then its first 32.
BRENVOX_AVX2 inline __m256i LoadQWords(const std::uint8_t* block, const std::uint8_t* seam, int w) {
  constexpr int BLOCK_WORDS = static_cast<int>(Q_BLOCK_WORDS);
  const std::uint8_t* at = w + Q_LANES <= BLOCK_WORDS ? block + 2 * w : seam + 2 * (w - (BLOCK_WORDS - Q_LANES));
  return Load256(at);
}

// One step: a lane outside its steps 0..42 keeps its sums.
BRENVOX_AVX2 inline void QStep(__m256i d, __m256i mask, __m256i& sum, __m256i& horner) {
  sum = _mm256_xor_si256(sum, _mm256_and_si256(d, mask));
  horner = _mm256_blendv_epi8(horner, _mm256_xor_si256(TimesAlpha(horner), d), mask);
}

// Stores p0 and p1 of the lanes' pairs, lane t being pair firstPair - t:
// the words reversed, so that the lowest pair comes first.
BRENVOX_AVX2 inline __m256i ReversedWords(__m256i v) {
  const __m256i reverse = _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1,
                                           14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
  return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, reverse), 0x4E);
}

BRENVOX_AVX2 void StoreQCheckBytes(__m256i sum, __m256i horner, int firstPair, std::uint8_t* parity) {
  const __m256i p0 = DivideByAlphaPlusOne(_mm256_xor_si256(sum, TimesAlpha(TimesAlpha(horner))));
  const std::size_t lowestPair = static_cast<std::size_t>(firstPair - (Q_LANES - 1));
  Store256(parity + 2 * lowestPair, ReversedWords(p0));
  Store256(parity + Q_VECTORS + 2 * lowestPair, ReversedWords(_mm256_xor_si256(sum, p0)));
}

BRENVOX_AVX2 void ComputeQAvx2(const std::uint8_t* block, std::uint8_t* parity) {
  alignas(32) std::uint8_t seam[4 * Q_LANES];
  Store256(seam, Load256(block + 2 * (Q_BLOCK_WORDS - Q_LANES)));
  Store256(seam + 2 * Q_LANES, Load256(block));
  __m256i sumLow = _mm256_setzero_si256(), hornerLow = sumLow, sumHigh = sumLow, hornerHigh = sumLow;
  for (int i = 0; i < Q_STEPS; ++i) {
    const __m256i mask = Load256(reinterpret_cast<const std::uint8_t*>(Q_STEP_MASK.words.data() + i));
    QStep(LoadQWords(block, seam, Q_STEP_WORDS[0][i]), mask, sumLow, hornerLow);
    QStep(LoadQWords(block, seam, Q_STEP_WORDS[1][i]), mask, sumHigh, hornerHigh);
  }
  // Pairs 25..10 first: the pairs 10..15 they share are stored right by the second.
  StoreQCheckBytes(sumHigh, hornerHigh, Q_PAIRS - 1, parity);
  StoreQCheckBytes(sumLow, hornerLow, Q_LANES - 1, parity);
}

BRENVOX_AVX2 void EccAvx2(std::uint8_t* sector) {
  const std::uint8_t* block = sector + HEADER_OFFSET;
  ComputePAvx2(block, sector + ECC_P_OFFSET);
  ComputeQAvx2(block, sector + ECC_Q_OFFSET);
}

constexpr CodePath CLMUL_PATH = {"pclmul+avx2", EdcClmul, EccAvx2};
constexpr CodePath VPCLMUL_PATH = {"vpclmul+avx2", EdcVpclmul, EccAvx2};

}  // namespace

std::vector<const CodePath*> X86CodePaths() {
  __builtin_cpu_init();
  std::vector<const CodePath*> paths;
  if (__builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1") && __builtin_cpu_supports("avx2")) {
    paths.push_back(&CLMUL_PATH);
    if (__builtin_cpu_supports("vpclmulqdq")) paths.push_back(&VPCLMUL_PATH);
  }
  return paths;
}

}  // namespace sector

#else

namespace sector {
std::vector<const CodePath*> X86CodePaths() { return {}; }
}  // namespace sector

#endif
