#include "tool/SectorCheck.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sector {

namespace {

constexpr std::array<std::uint8_t, SYNC_SIZE> SYNC_PATTERN = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

std::uint32_t LoadEdc(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}

bool ParityHolds(std::span<const std::uint8_t, SECTOR_SIZE> sector, const CodePath& path) {
  alignas(32) std::array<std::uint8_t, SECTOR_SIZE> copy;
  std::memcpy(copy.data(), sector.data(), SECTOR_SIZE);
  std::fill_n(copy.data() + HEADER_OFFSET, 4, std::uint8_t{0});  // the parity never sees the header
  path.ecc(copy.data());
  return std::equal(copy.begin() + ECC_P_OFFSET, copy.end(), sector.begin() + ECC_P_OFFSET);
}

}  // namespace

SectorFault CheckSector(std::span<const std::uint8_t, SECTOR_SIZE> sector, std::uint32_t lba,
                        const CodePath& path) {
  const std::uint8_t* s = sector.data();
  if (!std::equal(SYNC_PATTERN.begin(), SYNC_PATTERN.end(), s + SYNC_OFFSET)) return SectorFault::Sync;
  if (s[MODE_OFFSET] != 0x02) return SectorFault::Mode;
  std::uint8_t address[3];
  WriteAddress(address, lba);
  if (!std::equal(address, address + 3, s + HEADER_OFFSET)) return SectorFault::Address;
  if (!std::equal(s + SUBHEADER_OFFSET, s + SUBHEADER_COPY_OFFSET, s + SUBHEADER_COPY_OFFSET))
    return SectorFault::Subheader;
  if (IsForm2(sector)) {
    const std::uint32_t stored = LoadEdc(s + FORM2_EDC_OFFSET);
    if (stored != 0 && stored != path.edc(s + SUBHEADER_OFFSET, FORM2_EDC_OFFSET - SUBHEADER_OFFSET, 0))
      return SectorFault::Edc;
    return SectorFault::None;
  }
  if (LoadEdc(s + FORM1_EDC_OFFSET) != path.edc(s + SUBHEADER_OFFSET, FORM1_EDC_OFFSET - SUBHEADER_OFFSET, 0))
    return SectorFault::Edc;
  return ParityHolds(sector, path) ? SectorFault::None : SectorFault::Ecc;
}

const char* SectorFaultText(SectorFault fault) {
  switch (fault) {
    case SectorFault::None: return "good";
    case SectorFault::Sync: return "bad sync pattern";
    case SectorFault::Address: return "header address is not its place in the image";
    case SectorFault::Mode: return "not a Mode 2 sector";
    case SectorFault::Subheader: return "the two subheader copies differ";
    case SectorFault::Edc: return "EDC does not match the data";
    case SectorFault::Ecc: return "ECC does not match the data";
  }
  return "unknown fault";
}

}  // namespace sector
