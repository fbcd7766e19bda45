// The raw 2352-byte CD-ROM XA Mode 2 sector.
//
//   0      12     16      20      24                         2072  2076      2248      2352
//   | sync | hdr | subhdr | copy  | user data (2048)           | EDC | ECC P 172 | ECC Q 104|  Form 1
//   | sync | hdr | subhdr | copy  | user data (2324)                          | EDC  |         Form 2
//
// hdr = BCD minute, second, frame of (LBA + 150), then the mode byte 02.
// The EDC covers the subheader (both copies) and the user data; the ECC of a
// Form 1 sector covers bytes 12..2075 with the header taken as zero, so the
// parity of a Mode 2 sector does not depend on its address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/DiscGeometry.h"

namespace sector {

using disc::ADDRESS_OFFSET;
using disc::SECTOR_SIZE;
using disc::SECTORS_PER_SECOND;

inline constexpr std::size_t SYNC_OFFSET = 0;
inline constexpr std::size_t SYNC_SIZE = 12;
inline constexpr std::size_t HEADER_OFFSET = SYNC_OFFSET + SYNC_SIZE;  // minute, second, frame, mode
inline constexpr std::size_t MODE_OFFSET = HEADER_OFFSET + 3;
inline constexpr std::size_t SUBHEADER_OFFSET = HEADER_OFFSET + 4;     // file, channel, submode, coding
inline constexpr std::size_t SUBHEADER_COPY_OFFSET = SUBHEADER_OFFSET + 4;
inline constexpr std::size_t USER_DATA_OFFSET = SUBHEADER_COPY_OFFSET + 4;
inline constexpr std::size_t FORM1_DATA_SIZE = 2048;
inline constexpr std::size_t FORM2_DATA_SIZE = 2324;
inline constexpr std::size_t EDC_SIZE = 4;
inline constexpr std::size_t FORM1_EDC_OFFSET = USER_DATA_OFFSET + FORM1_DATA_SIZE;
inline constexpr std::size_t ECC_P_OFFSET = FORM1_EDC_OFFSET + EDC_SIZE;
inline constexpr std::size_t ECC_P_SIZE = 172;
inline constexpr std::size_t ECC_Q_OFFSET = ECC_P_OFFSET + ECC_P_SIZE;
inline constexpr std::size_t ECC_Q_SIZE = 104;
inline constexpr std::size_t FORM2_EDC_OFFSET = USER_DATA_OFFSET + FORM2_DATA_SIZE;
// Both forms fill the sector exactly.
static_assert(ECC_Q_OFFSET + ECC_Q_SIZE == SECTOR_SIZE);
static_assert(FORM2_EDC_OFFSET + EDC_SIZE == SECTOR_SIZE);

// Submode bits (subheader byte 2).
inline constexpr std::uint8_t SUBMODE_EOR = 0x01;
inline constexpr std::uint8_t SUBMODE_DATA = 0x08;
inline constexpr std::uint8_t SUBMODE_FORM2 = 0x20;
inline constexpr std::uint8_t SUBMODE_EOF = 0x80;

struct Subheader {
  std::uint8_t fileNumber = 0;
  std::uint8_t channel = 0;
  std::uint8_t submode = 0;
  std::uint8_t coding = 0;
};

using SectorSpan = std::span<std::uint8_t, SECTOR_SIZE>;

// One implementation of the sector arithmetic. Every path gives the same
// bytes; the portable one (tables, plain C++) is the reference and the
// fallback, the others use instructions only some processors have.
struct CodePath {
  const char* name;
  // CRC-32/CD-ROM-EDC of n bytes, continuing from `crc` (0 to start).
  std::uint32_t (*edc)(const std::uint8_t* bytes, std::size_t n, std::uint32_t crc);
  // The P then Q parity of a whole sector whose bytes 12..2075 are final,
  // header zeroed. May read (not write) up to the end of the sector.
  void (*ecc)(std::uint8_t* sector);
};

// Every path this processor runs, the portable one first, the fastest last.
std::vector<const CodePath*> SupportedCodePaths();

// The path the encoders use: the fastest supported, chosen once; the
// portable one when BRENVOX_SECTOR_CODE=portable is set.
const CodePath& ActiveCodePath();

// The processor-specific paths this processor runs (carry-less multiply EDC,
// 32-byte-lane ECC), slower first; none when it lacks an instruction they need.
std::vector<const CodePath*> X86CodePaths();

// CRC-32/CD-ROM-EDC of a byte range, continuing from `crc` (0 to start); portable path.
std::uint32_t Edc(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

// Writes the P then Q parity of a sector whose bytes 12..2075 are final,
// header zeroed; portable path.
void ComputeEcc(SectorSpan sector);

// BCD minute, second, frame of the absolute address of `lba`.
void WriteAddress(std::uint8_t* out3, std::uint32_t lba);

// Both encoders expect the user data already in place at USER_DATA_OFFSET and
// fill in everything else: sync, header, subheader twice, EDC (and ECC).
void EncodeForm1(SectorSpan sector, std::uint32_t lba, Subheader subheader,
                 const CodePath& path = ActiveCodePath());
void EncodeForm2(SectorSpan sector, std::uint32_t lba, Subheader subheader,
                 const CodePath& path = ActiveCodePath());

// Encodes a sector whose user data and subheader (its first copy, at
// SUBHEADER_OFFSET) are in place, in the form the subheader's Form bit names.
void EncodeSector(SectorSpan sector, std::uint32_t lba, const CodePath& path = ActiveCodePath());

}  // namespace sector
