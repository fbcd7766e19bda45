// Checks one raw 2352-byte Mode 2 sector read back from an image: the sync
// pattern, the header (address and mode), the two subheader copies, and the
// EDC and, for Form 1, the ECC, recomputed by the same sector code that
// writes them.
#pragma once

#include <cstdint>
#include <span>

#include "tool/SectorCode.h"

namespace sector {

enum class SectorFault {
  None,
  Sync,       // the 12-byte sync pattern is wrong
  Address,    // the header's address is not the sector's place in the image
  Mode,       // the mode byte is not 2 (a Mode 1 or an audio sector)
  Subheader,  // the two subheader copies differ
  Edc,        // the error detection code does not match the data
  Ecc,        // the Form 1 parity does not match the data
};

// The first fault found in the sector at `lba`, or None. A Form 2 EDC of
// zero means "not computed" and passes.
SectorFault CheckSector(std::span<const std::uint8_t, SECTOR_SIZE> sector, std::uint32_t lba,
                        const CodePath& path = ActiveCodePath());

// "bad sync", "wrong address", ...: the fault in words, for a message.
const char* SectorFaultText(SectorFault fault);

inline bool IsForm2(std::span<const std::uint8_t, SECTOR_SIZE> sector) {
  return (sector[SUBHEADER_OFFSET + 2] & SUBMODE_FORM2) != 0;
}

}  // namespace sector
