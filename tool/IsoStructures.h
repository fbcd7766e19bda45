// ISO 9660 structures of an XA disc, each built as 2048-byte logical blocks:
// the primary volume descriptor (with the CD-XA001 mark), the terminator,
// the path tables and the directory extents.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tool/ImageTree.h"

namespace iso {

inline constexpr std::size_t LOGICAL_BLOCK_SIZE = 2048;
inline constexpr std::uint32_t SYSTEM_AREA_SECTORS = 16;
inline constexpr std::uint32_t PVD_SECTOR = 16;
inline constexpr std::uint32_t TERMINATOR_SECTOR = 17;
inline constexpr std::uint32_t FIRST_FREE_SECTOR = 18;

// Directory record (offsets from the record's start):
//   0 length, 1 extended-attribute length, 2 extent (both-endian 32),
//   10 data length (both-endian 32), 18 date (7 bytes), 25 flags,
//   26 file unit size, 27 interleave gap, 28 volume sequence (both-endian 16),
//   32 identifier length, 33 identifier, then a pad byte when the identifier
//   length is even, then the 14-byte XA field.
inline constexpr std::size_t RECORD_FIXED_SIZE = 33;
inline constexpr std::size_t XA_FIELD_SIZE = 14;
inline constexpr std::size_t ROOT_RECORD_SIZE = 34;  // in the PVD: no XA field

// Attributes of the XA field (big-endian): read and execute for owner, group
// and world, plus the kind.
inline constexpr std::uint16_t XA_ATTRIBUTES_FOLDER = 0x8D55;
inline constexpr std::uint16_t XA_ATTRIBUTES_FORM1 = 0x0D55;
inline constexpr std::uint16_t XA_ATTRIBUTES_FORM2 = 0x1555;
inline constexpr std::uint8_t FORM2_FILE_NUMBER = 1;  // also subheader byte 0 of its sectors

// The dates written into the image: fixed by SOURCE_DATE_EPOCH, or the clock
// for the volume and each file's own modification time.
struct ImageDates {
  std::time_t volume = 0;
  bool fixed = false;
  std::time_t Of(const ImageNode& node) const {
    return fixed || node.isFolder ? volume : node.modified;
  }
};

// Length of the record of an identifier (";1" included for files).
std::size_t RecordLength(std::size_t identifierLength);
std::string RecordIdentifier(const ImageNode& node);  // "NAME.EXT;1" or "FOLDER"

// Sectors a folder's records take, none crossing a block boundary.
std::uint32_t DirectorySectors(const ImageNode& folder);
std::vector<std::uint8_t> BuildDirectory(const ImageNode& folder, const ImageDates& dates);

// One path table (unpadded); `bigEndian` selects the M table.
std::vector<std::uint8_t> BuildPathTable(const std::vector<ImageNode*>& folders,
                                         bool bigEndian);

struct VolumeInfo {
  std::string volumeIdentifier;
  std::uint32_t volumeSpaceSize = 0;
  std::uint32_t pathTableBytes = 0;
  std::uint32_t lTableSector = 0;
  std::uint32_t mTableSector = 0;
  const ImageNode* root = nullptr;
};

std::vector<std::uint8_t> BuildPrimaryDescriptor(const VolumeInfo& info, const ImageDates& dates);
std::vector<std::uint8_t> BuildTerminator();

}  // namespace iso
