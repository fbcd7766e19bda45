#include "tool/IsoStructures.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "tool/Endian.h"

namespace iso {
namespace {

constexpr std::uint8_t FLAG_DIRECTORY = 0x02;

// Record date: years since 1900, month, day, hour, minute, second, GMT offset (UTC: 0).
void PutRecordDate(std::uint8_t* p, std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  p[0] = static_cast<std::uint8_t>(std::clamp(tm.tm_year, 0, 255));
  p[1] = static_cast<std::uint8_t>(tm.tm_mon + 1);
  p[2] = static_cast<std::uint8_t>(tm.tm_mday);
  p[3] = static_cast<std::uint8_t>(tm.tm_hour);
  p[4] = static_cast<std::uint8_t>(tm.tm_min);
  p[5] = static_cast<std::uint8_t>(std::min(tm.tm_sec, 59));
  p[6] = 0;
}

// Writes `value` as `width` ASCII digits.
void PutDigits(std::uint8_t* p, int value, int width) {
  for (int i = width - 1; i >= 0; --i, value /= 10) p[i] = static_cast<std::uint8_t>('0' + value % 10);
}

// Volume date: "YYYYMMDDHHMMSScc" in ASCII digits, then the GMT offset byte (UTC: 0).
void PutVolumeDate(std::uint8_t* p, std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  PutDigits(p, std::clamp(tm.tm_year + 1900, 1, 9999), 4);
  PutDigits(p + 4, tm.tm_mon + 1, 2);
  PutDigits(p + 6, tm.tm_mday, 2);
  PutDigits(p + 8, tm.tm_hour, 2);
  PutDigits(p + 10, tm.tm_min, 2);
  PutDigits(p + 12, std::min(tm.tm_sec, 59), 2);
  PutDigits(p + 14, 0, 2);
  p[16] = 0;
}

// XA system-use field: 0 group id, 2 user id, 4 attributes, 6 "XA", 8 file number, 9 zero.
void PutXaField(std::uint8_t* p, std::uint16_t attributes, std::uint8_t fileNumber) {
  PutBe16(p + 4, attributes);
  p[6] = 'X';
  p[7] = 'A';
  p[8] = fileNumber;
}

struct RecordFields {
  std::string_view identifier;  // a file's without its ";1"
  std::uint32_t extent = 0;
  std::uint32_t dataLength = 0;
  std::time_t date = 0;
  bool folder = false;
  bool form2 = false;
};

// A file's identifier carries ";1" after its name; a folder's (and the
// one-byte self and parent identifiers) nothing.
constexpr std::string_view FILE_VERSION = ";1";
std::size_t IdentifierLength(std::string_view identifier, bool folder) {
  return identifier.size() + (folder ? 0 : FILE_VERSION.size());
}

// Writes one record at `p`, returns its length.
std::size_t PutRecord(std::uint8_t* p, const RecordFields& r, bool withXa) {
  const std::size_t idLength = IdentifierLength(r.identifier, r.folder);
  const std::size_t length = withXa ? RecordLength(idLength) : RECORD_FIXED_SIZE + idLength;
  p[0] = static_cast<std::uint8_t>(length);
  PutBoth32(p + 2, r.extent);
  PutBoth32(p + 10, r.dataLength);
  PutRecordDate(p + 18, r.date);
  p[25] = r.folder ? FLAG_DIRECTORY : 0;
  PutBoth16(p + 28, 1);
  p[32] = static_cast<std::uint8_t>(idLength);
  std::memcpy(p + 33, r.identifier.data(), r.identifier.size());
  if (!r.folder) std::memcpy(p + 33 + r.identifier.size(), FILE_VERSION.data(), FILE_VERSION.size());
  if (withXa) {
    const std::uint16_t attributes =
        r.folder ? XA_ATTRIBUTES_FOLDER : (r.form2 ? XA_ATTRIBUTES_FORM2 : XA_ATTRIBUTES_FORM1);
    PutXaField(p + length - XA_FIELD_SIZE, attributes, r.form2 ? FORM2_FILE_NUMBER : 0);
  }
  return length;
}

// The identifiers of a folder's own record and of its parent's.
constexpr std::string_view SELF_IDENTIFIER("\0", 1), PARENT_IDENTIFIER("\1", 1);

RecordFields SelfRecord(const ImageNode& folder, std::string_view identifier, const ImageDates& dates) {
  return {identifier, folder.extent, folder.dataLength, dates.Of(folder), true, false};
}

// Where a record of `length` bytes starts when the one before ended at `at`:
// a record that would cross a block boundary starts the next block instead.
std::size_t RecordStart(std::size_t at, std::size_t length) {
  if (at / LOGICAL_BLOCK_SIZE == (at + length - 1) / LOGICAL_BLOCK_SIZE) return at;
  return (at / LOGICAL_BLOCK_SIZE + 1) * LOGICAL_BLOCK_SIZE;
}

}  // namespace

std::size_t RecordLength(std::size_t identifierLength) {
  const std::size_t pad = identifierLength % 2 == 0 ? 1 : 0;
  return RECORD_FIXED_SIZE + identifierLength + pad + XA_FIELD_SIZE;
}

std::string RecordIdentifier(const ImageNode& node) {
  return node.isFolder ? node.identifier : node.identifier + std::string(FILE_VERSION);
}

// Both walk the records in the same order and place them alike: the self
// and parent records, then the children in record order.
std::uint32_t DirectorySectors(const ImageNode& folder) {
  std::size_t at = 0;
  const auto add = [&at](std::size_t idLength) {
    const std::size_t length = RecordLength(idLength);
    at = RecordStart(at, length) + length;
  };
  add(SELF_IDENTIFIER.size());
  add(PARENT_IDENTIFIER.size());
  for (const auto& child : folder.children) add(IdentifierLength(child->identifier, child->isFolder));
  return static_cast<std::uint32_t>((at + LOGICAL_BLOCK_SIZE - 1) / LOGICAL_BLOCK_SIZE);
}

std::vector<std::uint8_t> BuildDirectory(const ImageNode& folder, const ImageDates& dates) {
  std::vector<std::uint8_t> extent(std::size_t{folder.sectors} * LOGICAL_BLOCK_SIZE, 0);
  std::size_t at = 0;
  const auto put = [&](const RecordFields& r) {
    at = RecordStart(at, RecordLength(IdentifierLength(r.identifier, r.folder)));
    at += PutRecord(extent.data() + at, r, true);
  };
  put(SelfRecord(folder, SELF_IDENTIFIER, dates));
  put(SelfRecord(folder.parent ? *folder.parent : folder, PARENT_IDENTIFIER, dates));
  for (const auto& child : folder.children)
    put({child->identifier, child->extent, child->dataLength, dates.Of(*child), child->isFolder, child->isForm2});
  return extent;
}

// Path table record: 0 identifier length, 1 extended-attribute length,
// 2 extent (4), 6 parent number (2), 8 identifier, then a pad byte if odd.
std::vector<std::uint8_t> BuildPathTable(const std::vector<ImageNode*>& folders,
                                         bool bigEndian) {
  std::vector<std::uint8_t> table;
  for (const ImageNode* f : folders) {
    const std::string id = f->parent ? f->identifier : std::string(1, '\0');
    const std::uint16_t parent = f->parent ? f->parent->pathNumber : 1;
    std::vector<std::uint8_t> rec(8 + id.size() + id.size() % 2, 0);
    rec[0] = static_cast<std::uint8_t>(id.size());
    if (bigEndian) {
      PutBe32(&rec[2], f->extent);
      PutBe16(&rec[6], parent);
    } else {
      PutLe32(&rec[2], f->extent);
      PutLe16(&rec[6], parent);
    }
    std::memcpy(&rec[8], id.data(), id.size());
    table.insert(table.end(), rec.begin(), rec.end());
  }
  return table;
}

std::vector<std::uint8_t> BuildPrimaryDescriptor(const VolumeInfo& info, const ImageDates& dates) {
  std::vector<std::uint8_t> d(LOGICAL_BLOCK_SIZE, 0);
  std::uint8_t* p = d.data();
  p[0] = 1;                                  // 0: type, primary
  std::memcpy(p + 1, "CD001", 5);            // 1: standard identifier
  p[6] = 1;                                  // 6: version
  std::memset(p + 8, ' ', 32);               // 8: system identifier
  std::memset(p + 40, ' ', 32);              // 40: volume identifier
  std::memcpy(p + 40, info.volumeIdentifier.data(), std::min<std::size_t>(32, info.volumeIdentifier.size()));
  PutBoth32(p + 80, info.volumeSpaceSize);   // 80: volume space size
  PutBoth16(p + 120, 1);                     // 120: volume set size
  PutBoth16(p + 124, 1);                     // 124: volume sequence number
  PutBoth16(p + 128, LOGICAL_BLOCK_SIZE);            // 128: logical block size
  PutBoth32(p + 132, info.pathTableBytes);   // 132: path table size
  PutLe32(p + 140, info.lTableSector);       // 140: L path table
  PutBe32(p + 148, info.mTableSector);       // 148: M path table
  PutRecord(p + 156, {SELF_IDENTIFIER, info.root->extent, info.root->dataLength,
                      dates.volume, true, false}, false);  // 156: root record, 34 bytes
  std::memset(p + 190, ' ', 128 * 4 + 37 * 3);  // 190..812: volume set .. bibliographic ids
  PutVolumeDate(p + 813, dates.volume);      // 813: creation
  PutVolumeDate(p + 830, dates.volume);      // 830: modification
  std::memset(p + 847, '0', 16);             // 847: expiration, none
  std::memset(p + 864, '0', 16);             // 864: effective, none
  p[881] = 1;                                // 881: file structure version
  std::memcpy(p + 1024, "CD-XA001", 8);      // 883 + 141: the XA mark in application use
  return d;
}

std::vector<std::uint8_t> BuildTerminator() {
  std::vector<std::uint8_t> d(LOGICAL_BLOCK_SIZE, 0);
  d[0] = 0xFF;                               // 0: type, set terminator
  std::memcpy(d.data() + 1, "CD001", 5);
  d[6] = 1;
  return d;
}

}  // namespace iso
