// The sector encoder against the known sector vectors, and the ECC against an
// independent check of both parity equations over log/antilog tables.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tool/SectorCode.h"
#include "ToolTestSupport.h"

using namespace sector;

namespace {

using Sector = std::array<std::uint8_t, SECTOR_SIZE>;

// Whatever a buffer held before must not leak into the sector: everything
// outside the user data starts as junk.
Sector MakeSector(std::uint32_t lba, Subheader sh, bool form2, bool countingData) {
  Sector s;
  s.fill(0xA5);
  const std::size_t n = form2 ? FORM2_DATA_SIZE : FORM1_DATA_SIZE;
  for (std::size_t k = 0; k < n; ++k) s[USER_DATA_OFFSET + k] = countingData ? static_cast<std::uint8_t>(k) : 0;
  if (form2) EncodeForm2(s, lba, sh);
  else EncodeForm1(s, lba, sh);
  return s;
}

std::string Hex(const std::uint8_t* p, std::size_t n) {
  std::string out;
  char b[4];
  for (std::size_t i = 0; i < n; ++i) std::snprintf(b, sizeof b, "%02x", p[i]), out += b;
  return out;
}

// Non-zero bytes of an area as offset -> value.
std::map<int, int> NonZero(const Sector& s, std::size_t from, std::size_t size) {
  std::map<int, int> out;
  for (std::size_t i = 0; i < size; ++i)
    if (s[from + i] != 0) out[static_cast<int>(i)] = s[from + i];
  return out;
}

// GF(2^8), x^8+x^4+x^3+x^2+1, by logarithms: independent of the encoder's tables.
struct Gf {
  std::array<int, 256> log{};
  std::array<int, 512> exp{};
  Gf() {
    int v = 1;
    for (int i = 0; i < 255; ++i, v = (v << 1) ^ ((v & 0x80) ? 0x11D : 0)) exp[i] = exp[i + 255] = v, log[v] = i;
  }
  int Mul(int a, int b) const { return a && b ? exp[log[a] + log[b]] : 0; }
};

// Both syndromes of every P and Q vector must be zero.
bool EccHolds(const Sector& s) {
  static const Gf gf;
  std::array<std::uint8_t, 2236> b{};
  std::copy(s.begin() + 16, s.begin() + 2248, b.begin() + 4);  // header taken as zero
  auto holds = [&](auto byteOf, int n) {
    int s0 = 0, s1 = 0;
    for (int i = 0; i < n; ++i) s0 ^= byteOf(i), s1 ^= gf.Mul(gf.exp[(n - 1 - i) % 255], byteOf(i));
    return s0 == 0 && s1 == 0;
  };
  for (int j = 0; j < 86; ++j)
    if (!holds([&](int i) { return i < 24 ? b[j + 86 * i] : s[2076 + j + 86 * (i - 24)]; }, 26)) return false;
  for (int j = 0; j < 52; ++j)
    if (!holds([&](int i) { return i < 43 ? b[(86 * (j / 2) + j % 2 + 88 * i) % 2236] : s[2248 + j + 52 * (i - 43)]; }, 45))
      return false;
  return true;
}

}  // namespace

TEST(ToolSectorCode, EdcCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(Edc({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0x6EC2EDC4u);
}

TEST(ToolSectorCode, AddressesAreBcdOfLbaPlus150) {
  const std::pair<std::uint32_t, std::string> cases[] = {
      {0, "000200"}, {16, "000216"}, {450, "000800"}, {4350, "010000"}, {359849, "795974"}, {449849, "995974"}};
  for (const auto& [lba, expected] : cases) {
    std::uint8_t out[3];
    WriteAddress(out, lba);
    EXPECT_EQ(Hex(out, 3), expected) << "LBA " << lba;
  }
}

TEST(ToolSectorCode, Form1ZeroSectorAtLba16MatchesKnownVector) {
  const Sector s = MakeSector(16, {0, 0, 0x08, 0}, false, false);
  EXPECT_EQ(Hex(s.data(), 24), "00ffffffffffffffffffff0000021602" "0000080000000800");
  EXPECT_EQ(Hex(s.data() + FORM1_EDC_OFFSET, 4), "0b888194");
  const std::map<int, int> p = {{6, 0xfb}, {10, 0xfb}, {82, 0x1d}, {83, 0x85}, {84, 0x9e}, {85, 0xa1},
                                {92, 0xf3}, {96, 0xf3}, {168, 0x16}, {169, 0x0d}, {170, 0x1f}, {171, 0x35}};
  const std::map<int, int> q = {{14, 0x9e}, {15, 0xa1}, {16, 0x8e}, {17, 0x61}, {18, 0x72}, {19, 0xe3}, {20, 0x62},
                                {21, 0x23}, {38, 0xb9}, {40, 0xd2}, {42, 0xa5}, {44, 0x67}, {46, 0xa9}, {66, 0x1f},
                                {67, 0x35}, {68, 0x1b}, {69, 0x48}, {70, 0x70}, {71, 0x53}, {72, 0x74}, {73, 0x2e},
                                {90, 0x42}, {92, 0x21}, {94, 0x56}, {96, 0x94}, {98, 0xa1}};
  EXPECT_EQ(NonZero(s, ECC_P_OFFSET, ECC_P_SIZE), p);
  EXPECT_EQ(NonZero(s, ECC_Q_OFFSET, ECC_Q_SIZE), q);
  EXPECT_EQ(Sha256Of(s.data(), s.size()), "f27131ff9a1153465668337a364a52f5b314cbb2ce0dbd7bab816ab5ee7bdfda");
}

TEST(ToolSectorCode, KnownVectorsWithCountingData) {
  const Sector f1 = MakeSector(16, {0, 0, 0x09, 0}, false, true);
  EXPECT_EQ(Hex(f1.data() + FORM1_EDC_OFFSET, 4), "e85d407d");
  EXPECT_EQ(Hex(f1.data() + ECC_P_OFFSET, 4), "59ff7fd9");
  EXPECT_EQ(Hex(f1.data() + ECC_Q_OFFSET, 4), "13fd68aa");
  EXPECT_EQ(Sha256Of(f1.data(), f1.size()), "13949a55010e9f6d24f8b5385f1f34a2424ee35dc6028e985490c62943b203ed");

  const Sector f2 = MakeSector(1000, {1, 1, 0x62, 0x0f}, true, true);
  EXPECT_EQ(Hex(f2.data() + 12, 4), "00152502");
  EXPECT_EQ(Hex(f2.data() + FORM2_EDC_OFFSET, 4), "2eaa153e");
  EXPECT_EQ(Sha256Of(f2.data(), f2.size()), "15d76eb0baf9082eeb6eb525de7a03766c88dd8940124c55331f7b5ffcbfab4f");

  const Sector gap = MakeSector(0, {0, 0, 0x20, 0}, true, false);
  EXPECT_EQ(Hex(gap.data() + FORM2_EDC_OFFSET, 4), "3f13b0be");
}

TEST(ToolSectorCode, EncodersSetTheFormBitTheyStandFor) {
  EXPECT_EQ(MakeSector(5, {0, 0, 0x28, 0}, false, false)[18], 0x08);
  EXPECT_EQ(MakeSector(5, {1, 0, 0x08, 0}, true, false)[22], 0x28);
}

TEST(ToolSectorCode, EccHoldsForRandomSectorsAndIgnoresTheAddress) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    Sector a;
    a.fill(static_cast<std::uint8_t>(rng()));
    for (std::size_t k = 0; k < FORM1_DATA_SIZE; ++k) a[USER_DATA_OFFSET + k] = static_cast<std::uint8_t>(rng());
    Sector b = a;
    EncodeForm1(a, rng() % 400000, {0, 0, 0x08, 0});
    EncodeForm1(b, rng() % 400000, {0, 0, 0x08, 0});
    ASSERT_TRUE(EccHolds(a)) << "round " << round;
    EXPECT_TRUE(std::equal(a.begin() + 16, a.end(), b.begin() + 16)) << "parity depends on the address";
  }
}

// Every code path this processor runs gives the portable path's bytes, on
// random sectors of both forms, random lengths of EDC input and random starts.
TEST(ToolSectorCode, EveryPathMatchesThePortableOne) {
  const std::vector<const CodePath*> paths = SupportedCodePaths();
  ASSERT_EQ(std::string(paths.front()->name), "portable");
  std::printf("sector code paths here:");
  for (const CodePath* p : paths) std::printf(" %s", p->name);
  std::printf("; in use: %s\n", ActiveCodePath().name);
  std::mt19937 rng(13);
  std::vector<std::uint8_t> bytes(4096 + 64);
  for (const CodePath* path : paths) {
    for (int round = 0; round < 300; ++round) {
      for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
      const std::size_t start = rng() % 64, n = rng() % 4097;
      const std::uint32_t crc = round % 2 ? static_cast<std::uint32_t>(rng()) : 0;
      ASSERT_EQ(path->edc(bytes.data() + start, n, crc), Edc({bytes.data() + start, n}, crc))
          << path->name << ": " << n << " bytes from " << start;

      Sector a;  // random user data, subheader and junk everywhere else
      for (auto& b : a) b = static_cast<std::uint8_t>(rng());
      Sector b = a;
      const std::uint32_t lba = rng() % 450000;
      const bool form2 = a[SUBHEADER_OFFSET + 2] & SUBMODE_FORM2;
      EncodeSector(a, lba, *paths.front());
      EncodeSector(b, lba, *path);
      ASSERT_TRUE(a == b) << path->name << ", round " << round << ", form " << (form2 ? 2 : 1);
      if (!form2) {
        ASSERT_TRUE(EccHolds(b)) << path->name;
      }
    }
  }
}

namespace {

// The EDC one bit at a time, as the polynomial defines it: shares nothing
// with the table-driven code.
std::uint32_t EdcBitwise(const std::uint8_t* p, std::size_t n) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) ? 0xD8018001u : 0u);
  }
  return crc;
}

}  // namespace

TEST(ToolSectorCode, EdcOverLongRunsTakesTheWideStepsRight) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += "123456789";  // 36 bytes: two 16-byte steps and a tail
  EXPECT_EQ(Edc({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0xAE242243u);
  std::vector<std::uint8_t> counting(256);
  for (std::size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(Edc(counting), 0xE377019Au);
  // Every length and alignment around the step size, whole and split in two.
  std::mt19937 random(7);
  std::vector<std::uint8_t> bytes(2400);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  for (std::size_t offset = 0; offset < 4; ++offset) {
    for (std::size_t n : {1u, 15u, 16u, 17u, 31u, 32u, 33u, 48u, 100u, 2056u, 2332u}) {
      const std::uint8_t* p = bytes.data() + offset;
      const std::uint32_t expected = EdcBitwise(p, n);
      ASSERT_EQ(Edc({p, n}), expected) << "length " << n << " at offset " << offset;
      ASSERT_EQ(Edc({p + n / 3, n - n / 3}, Edc({p, n / 3})), expected) << "split, length " << n;
    }
  }
}
