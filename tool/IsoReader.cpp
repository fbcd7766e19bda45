#include "tool/IsoReader.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <set>

#include "tool/IsoStructures.h"
#include "tool/SectorCode.h"

namespace {

constexpr std::uint8_t TYPE_PRIMARY = 1;
constexpr std::uint8_t TYPE_TERMINATOR = 255;
constexpr std::uint32_t MAX_DESCRIPTORS = 32;  // sectors looked at for the primary descriptor
constexpr std::uint32_t MAX_PATH_TABLE_BYTES = 16u << 20;

// Primary volume descriptor offsets.
constexpr std::size_t PVD_VOLUME_ID = 40;
constexpr std::size_t PVD_VOLUME_SPACE = 80;
constexpr std::size_t PVD_PATH_TABLE_SIZE = 132;
constexpr std::size_t PVD_L_TABLE = 140;
constexpr std::size_t PVD_M_TABLE = 148;
constexpr std::size_t PVD_ROOT_RECORD = 156;
constexpr std::size_t PVD_CREATED = 813;

// Directory record offsets and flags.
constexpr std::size_t REC_EXTENT = 2;
constexpr std::size_t REC_LENGTH = 10;
constexpr std::size_t REC_FLAGS = 25;
constexpr std::size_t REC_UNIT_SIZE = 26;
constexpr std::size_t REC_GAP = 27;
constexpr std::size_t REC_ID_LENGTH = 32;
constexpr std::uint8_t FLAG_DIRECTORY = 0x02;
constexpr std::uint8_t FLAG_MULTI_EXTENT = 0x80;

// XA field: attributes at 4 (big-endian), "XA" at 6.
constexpr std::uint16_t XA_FORM2 = 0x1000;
constexpr std::uint16_t XA_INTERLEAVED = 0x2000;
constexpr std::uint16_t XA_CDDA = 0x4000;

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

std::string Shown(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c >= 0x20 && c != 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// A name that could leave its folder or that no file system takes.
bool IsUnsafeName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return true;
  return std::any_of(name.begin(), name.end(), [](unsigned char c) { return c == '/' || c < 0x20 || c == 0x7F; });
}

// "NAME.EXT;1" -> "NAME.EXT", "README.;1" -> "README"; folders as recorded.
std::string VisibleName(std::string id, bool folder) {
  if (folder) return id;
  const std::size_t semi = id.rfind(';');
  if (semi != std::string::npos && semi + 1 < id.size() &&
      std::all_of(id.begin() + static_cast<std::ptrdiff_t>(semi) + 1, id.end(), ::isdigit))
    id.erase(semi);
  if (!id.empty() && id.back() == '.') id.pop_back();
  return id;
}

bool ReadVolumeDate(const std::uint8_t* p, std::time_t& out) {
  int v[7] = {};
  const int widths[7] = {4, 2, 2, 2, 2, 2, 2};
  for (int i = 0, at = 0; i < 7; at += widths[i], ++i)
    for (int k = 0; k < widths[i]; ++k) {
      if (p[at + k] < '0' || p[at + k] > '9') return false;
      v[i] = v[i] * 10 + (p[at + k] - '0');
    }
  if (v[0] == 0) return false;
  struct tm tm {};
  tm.tm_year = v[0] - 1900, tm.tm_mon = v[1] - 1, tm.tm_mday = v[2];
  tm.tm_hour = v[3], tm.tm_min = v[4], tm.tm_sec = v[5];
  const auto gmtOffset = static_cast<std::int8_t>(p[16]);
  out = timegm(&tm) - static_cast<std::time_t>(gmtOffset) * 15 * 60;
  return true;
}

class DirectoryWalk {
 public:
  DirectoryWalk(const ImageSource& image, IsoVolume& volume) : m_image(image), m_volume(volume) {}
  void Run();

 private:
  void ReadFolder(std::size_t folder);
  // Takes one record; false when the rest of the block cannot be trusted.
  bool TakeRecord(std::size_t folder, const std::uint8_t* rec, std::size_t length);
  void Judge(IsoEntry& entry);
  void Fault(const std::string& line) { m_volume.faults.push_back(line); }

  const ImageSource& m_image;
  IsoVolume& m_volume;
  std::deque<std::size_t> m_pending;
  std::set<std::uint32_t> m_folderExtents;
  std::uint64_t m_blocksRead = 0;
  bool m_full = false;
};

void DirectoryWalk::Run() {
  m_folderExtents.insert(m_volume.entries[0].extent);
  m_pending.push_back(0);
  while (!m_pending.empty()) {
    const std::size_t folder = m_pending.front();
    m_pending.pop_front();
    ReadFolder(folder);
  }
}

void DirectoryWalk::ReadFolder(std::size_t folder) {
  const std::uint32_t extent = m_volume.entries[folder].extent;
  const std::uint32_t blocks = m_volume.entries[folder].Sectors();
  std::vector<std::uint8_t> block;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    // Folders never share blocks in a sound image, so their blocks together
    // are at most the image's: beyond that, overlapping folders would make
    // the walk read the same blocks again and again.
    if (++m_blocksRead > m_image.SectorCount()) {
      Fault("folders overlap: reading stopped at " + EntryPath(m_volume, folder));
      return;
    }
    if (Status s = m_image.ReadBlock(extent + b, block)) {
      Fault(EntryPath(m_volume, folder) + ": " + s->message);
      return;
    }
    for (std::size_t at = 0; at < block.size();) {
      const std::size_t length = block[at];
      if (length == 0) break;  // the rest of the block is padding
      if (at + length > block.size()) {
        Fault("sector " + std::to_string(extent + b) + ": a record of folder /" + EntryPath(m_volume, folder) +
              " crosses the end of its sector");
        break;
      }
      if (!TakeRecord(folder, block.data() + at, length)) {
        Fault("sector " + std::to_string(extent + b) + ": a record of folder /" + EntryPath(m_volume, folder) +
              " is malformed");
        break;
      }
      at += length;
    }
  }
}

bool DirectoryWalk::TakeRecord(std::size_t folder, const std::uint8_t* rec, std::size_t length) {
  if (length < iso::RECORD_FIXED_SIZE + 1) return false;
  const std::size_t idLength = rec[REC_ID_LENGTH];
  if (idLength == 0 || iso::RECORD_FIXED_SIZE + idLength > length) return false;
  const std::string id(reinterpret_cast<const char*>(rec + iso::RECORD_FIXED_SIZE), idLength);
  if (idLength == 1 && (id[0] == '\0' || id[0] == '\1')) return true;  // "." and ".."
  if (m_full) return true;
  if (m_volume.entries.size() > MAX_IMAGE_ENTRIES) {
    Fault("more than " + std::to_string(MAX_IMAGE_ENTRIES) + " files and folders: the rest are left out");
    m_full = true;
    return true;
  }
  IsoEntry entry;
  entry.isFolder = (rec[REC_FLAGS] & FLAG_DIRECTORY) != 0;
  entry.name = VisibleName(id, entry.isFolder);
  entry.extent = Le32(rec + REC_EXTENT);
  entry.dataLength = Le32(rec + REC_LENGTH);
  entry.parent = folder;
  const std::size_t systemUse = iso::RECORD_FIXED_SIZE + idLength + (idLength % 2 == 0 ? 1 : 0);
  std::uint16_t attributes = 0;
  if (systemUse + iso::XA_FIELD_SIZE <= length && rec[systemUse + 6] == 'X' && rec[systemUse + 7] == 'A')
    attributes = Be16(rec + systemUse + 4);
  entry.isForm2 = !entry.isFolder && (attributes & (XA_FORM2 | XA_INTERLEAVED)) != 0;
  if (rec[REC_FLAGS] & FLAG_MULTI_EXTENT) entry.leftOut = "a file of several extents";
  else if (rec[REC_UNIT_SIZE] != 0 || rec[REC_GAP] != 0) entry.leftOut = "an interleaved file";
  else if (attributes & XA_CDDA) entry.leftOut = "an audio track";
  Judge(entry);
  const std::size_t index = m_volume.entries.size();
  m_volume.entries[folder].children.push_back(index);
  const bool descend = entry.isFolder && entry.leftOut.empty();
  m_volume.entries.push_back(std::move(entry));
  if (descend) m_pending.push_back(index);
  return true;
}

void DirectoryWalk::Judge(IsoEntry& entry) {
  if (!entry.leftOut.empty()) return;
  if (IsUnsafeName(entry.name)) {
    entry.leftOut = "its name cannot be a file's name here";
  } else if (std::uint64_t{entry.extent} + entry.Sectors() > m_image.SectorCount()) {
    entry.leftOut = "its extent lies past the end of the image";
  } else if (entry.isFolder && entry.dataLength == 0) {
    entry.leftOut = "a folder with no records";
  } else if (entry.isFolder && !m_folderExtents.insert(entry.extent).second) {
    entry.leftOut = "a folder that loops back to one already read";
  } else if (entry.isForm2 && m_image.Format() == SectorFormat::Plain2048) {
    entry.leftOut = "a Form 2 file, whose data a 2048-byte image does not hold";
  }
}

Status ReadPrimaryDescriptor(const ImageSource& image, std::vector<std::uint8_t>& pvd) {
  for (std::uint32_t s = iso::PVD_SECTOR; s < iso::PVD_SECTOR + MAX_DESCRIPTORS && s < image.SectorCount(); ++s) {
    if (Status st = image.ReadBlock(s, pvd)) return st;
    if (std::string(pvd.begin() + 1, pvd.begin() + 6) != "CD001") break;
    if (pvd[0] == TYPE_PRIMARY) return std::nullopt;
    if (pvd[0] == TYPE_TERMINATOR) break;
  }
  return InputError("Cannot read " + image.DataPath() + ": it holds no ISO 9660 primary volume descriptor");
}

std::vector<std::uint8_t> ReadTable(const ImageSource& image, std::uint32_t first, std::uint32_t bytes,
                                    std::vector<std::string>& faults, const char* which) {
  const std::uint32_t sectors = (bytes + 2047) / 2048;
  std::vector<std::uint8_t> table, block;
  if (bytes > MAX_PATH_TABLE_BYTES || std::uint64_t{first} + sectors > image.SectorCount()) {
    faults.push_back(std::string(which) + " path table lies outside the image");
    return table;
  }
  for (std::uint32_t s = 0; s < sectors; ++s) {
    if (Status st = image.ReadBlock(first + s, block)) {
      faults.push_back(std::string(which) + " path table: " + st->message);
      return {};
    }
    table.insert(table.end(), block.begin(), block.end());
  }
  table.resize(bytes);
  return table;
}

struct TableRecord {
  std::uint32_t extent = 0;
  std::uint16_t parent = 0;
  std::string id;
  bool operator==(const TableRecord&) const = default;
};

std::vector<TableRecord> ParseTable(const std::vector<std::uint8_t>& t, bool bigEndian,
                                    std::vector<std::string>& faults, const char* which) {
  std::vector<TableRecord> out;
  for (std::size_t at = 0; at < t.size();) {
    const std::size_t idLength = t[at];
    if (idLength == 0 || at + 8 + idLength > t.size()) {
      faults.push_back(std::string(which) + " path table: record " + std::to_string(out.size() + 1) + " is malformed");
      break;
    }
    const std::uint8_t* p = t.data() + at;
    out.push_back({bigEndian ? Be32(p + 2) : Le32(p + 2), bigEndian ? Be16(p + 6) : Le16(p + 6),
                   std::string(reinterpret_cast<const char*>(p + 8), idLength)});
    at += 8 + idLength + idLength % 2;
  }
  return out;
}

}  // namespace

Status ReadIsoVolume(const ImageSource& image, IsoVolume& volume) {
  volume = {};
  std::vector<std::uint8_t> pvd;
  if (Status s = ReadPrimaryDescriptor(image, pvd)) return s;
  std::string id(pvd.begin() + PVD_VOLUME_ID, pvd.begin() + PVD_VOLUME_ID + 32);
  id.erase(id.find_last_not_of(' ') + 1);
  volume.volumeIdentifier = id;
  volume.volumeSpaceSize = Le32(pvd.data() + PVD_VOLUME_SPACE);
  volume.pathTableBytes = Le32(pvd.data() + PVD_PATH_TABLE_SIZE);
  volume.lTableSector = Le32(pvd.data() + PVD_L_TABLE);
  volume.mTableSector = Be32(pvd.data() + PVD_M_TABLE);
  volume.hasDate = ReadVolumeDate(pvd.data() + PVD_CREATED, volume.created);
  IsoEntry root;
  root.isFolder = true;
  root.extent = Le32(pvd.data() + PVD_ROOT_RECORD + REC_EXTENT);
  root.dataLength = Le32(pvd.data() + PVD_ROOT_RECORD + REC_LENGTH);
  if (root.dataLength == 0 || std::uint64_t{root.extent} + root.Sectors() > image.SectorCount())
    return InputError("Cannot read " + image.DataPath() + ": its root folder lies outside the image");
  volume.entries.push_back(std::move(root));
  if (volume.volumeSpaceSize > image.SectorCount())
    volume.faults.push_back("the volume descriptor counts " + std::to_string(volume.volumeSpaceSize) +
                            " sectors, but the image holds " + std::to_string(image.SectorCount()));
  DirectoryWalk(image, volume).Run();
  return std::nullopt;
}

std::vector<std::string> CheckPathTables(const ImageSource& image, const IsoVolume& volume) {
  std::vector<std::string> faults;
  const auto l = ParseTable(ReadTable(image, volume.lTableSector, volume.pathTableBytes, faults, "L"), false, faults, "L");
  const auto m = ParseTable(ReadTable(image, volume.mTableSector, volume.pathTableBytes, faults, "M"), true, faults, "M");
  if (l != m) faults.push_back("the L and M path tables differ");
  std::set<std::uint32_t> folders;
  for (const IsoEntry& e : volume.entries)
    if (e.isFolder && e.leftOut.empty()) folders.insert(e.extent);
  std::set<std::uint32_t> listed;
  for (std::size_t i = 0; i < l.size(); ++i) {
    if (!folders.count(l[i].extent))
      faults.push_back("path table record " + std::to_string(i + 1) + " names sector " + std::to_string(l[i].extent) +
                       ", where no folder lies");
    if (l[i].parent == 0 || l[i].parent > i + 1)
      faults.push_back("path table record " + std::to_string(i + 1) + " has parent " + std::to_string(l[i].parent) +
                       ", which does not come before it");
    listed.insert(l[i].extent);
  }
  for (std::uint32_t extent : folders)
    if (!listed.count(extent))
      faults.push_back("the folder at sector " + std::to_string(extent) + " is missing from the path table");
  return faults;
}

std::string EntryPath(const IsoVolume& volume, std::size_t index) {
  std::vector<std::size_t> chain;
  for (std::size_t i = index; i != 0 && chain.size() < volume.entries.size(); i = volume.entries[i].parent)
    chain.push_back(i);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '/';
    path += Shown(volume.entries[*it].name);
  }
  return path;
}
