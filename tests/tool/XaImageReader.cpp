#include "XaImageReader.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// Byte comparison after padding the shorter with spaces.
int PadCompare(const std::string& a, const std::string& b) {
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    unsigned char x = i < a.size() ? a[i] : ' ', y = i < b.size() ? b[i] : ' ';
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// "NAME.EXT;1" -> name, extension; a folder identifier is all name.
void SplitId(const std::string& id, bool folder, std::string& name, std::string& ext) {
  std::string bare = id.substr(0, id.find(';'));
  std::size_t dot = folder ? std::string::npos : bare.rfind('.');
  name = bare.substr(0, dot);
  ext = dot == std::string::npos ? "" : bare.substr(dot + 1);
}

bool RecordBefore(const ImageEntry& a, const std::string& idA, const ImageEntry& b, const std::string& idB) {
  std::string na, ea, nb, eb;
  SplitId(idA, a.folder, na, ea);
  SplitId(idB, b.folder, nb, eb);
  int c = PadCompare(na, nb);
  return c < 0 || (c == 0 && PadCompare(ea, eb) < 0);
}

// Every read is checked against the image: a malformed image gives problems,
// never a read outside it.
std::vector<PathTableRecord> ReadPathTable(const RawImage& img, std::uint32_t lba, std::uint32_t bytes, bool big,
                                           std::vector<std::string>& problems) {
  std::vector<std::uint8_t> table;
  for (std::uint64_t i = 0; i * 2048 < bytes; ++i) {
    if (lba + i >= img.SectorCount()) {
      problems.push_back("path table runs past the end of the image");
      return {};
    }
    table.insert(table.end(), img.UserData(lba + i), img.UserData(lba + i) + 2048);
  }
  std::vector<PathTableRecord> out;
  for (std::size_t at = 0; at < bytes;) {
    const std::size_t len = table[at];
    if (len == 0 || at + 8 + len > bytes) {
      problems.push_back("path table record at byte " + std::to_string(at) + " is malformed");
      break;
    }
    PathTableRecord r;
    r.extent = big ? Be32(&table[at + 2]) : Le32(&table[at + 2]);
    r.parent = big ? Be16(&table[at + 6]) : Le16(&table[at + 6]);
    r.identifier.assign(reinterpret_cast<const char*>(&table[at + 8]), len);
    out.push_back(r);
    at += 8 + len + (len % 2);
  }
  return out;
}

// Walks the directories without recursion (any depth), each extent once.
struct DirWalker {
  const RawImage& img;
  IsoView& view;

  struct Pending {
    std::string prefix;
    std::uint32_t extent, size, parentExtent;
  };

  void Problem(const std::string& s) { view.problems.push_back(s); }

  void WalkAll(std::uint32_t rootExtent, std::uint32_t rootSize) {
    std::vector<Pending> pending = {{"", rootExtent, rootSize, rootExtent}};
    std::set<std::uint32_t> seen;
    while (!pending.empty()) {
      const Pending p = pending.back();
      pending.pop_back();
      if (!seen.insert(p.extent).second) {
        Problem(p.prefix + ": directory extent " + std::to_string(p.extent) + " reached twice");
        continue;
      }
      std::vector<Pending> below = Walk(p.prefix, p.extent, p.size, p.parentExtent);
      pending.insert(pending.end(), below.rbegin(), below.rend());
    }
  }

  std::vector<Pending> Walk(const std::string& prefix, std::uint32_t extent, std::uint32_t size,
                            std::uint32_t parentExtent) {
    std::vector<std::pair<ImageEntry, std::string>> records;
    for (std::uint32_t block = 0; std::uint64_t{block} * 2048 < size; ++block) {
      if (std::uint64_t{extent} + block >= img.SectorCount()) {
        Problem(prefix + ": directory runs past the end of the image");
        break;
      }
      view.structureSectors.push_back(extent + block);
      const std::uint8_t* b = img.UserData(extent + block);
      for (std::size_t at = 0; at < 2048 && b[at] != 0;) {
        const std::size_t len = b[at];
        if (at + len > 2048) { Problem(prefix + ": record crosses a block boundary"); break; }
        if (len < 34 || 33 + std::size_t{b[at + 32]} > len) { Problem(prefix + ": record too short"); break; }
        records.push_back(ParseRecord(b + at, len, prefix));
        at += len;
      }
    }
    CheckDotRecords(prefix, records, extent, parentExtent);
    std::vector<Pending> below;
    for (std::size_t i = 2; i < records.size(); ++i) {
      if (i > 2 && !RecordBefore(records[i - 1].first, records[i - 1].second, records[i].first, records[i].second))
        Problem(prefix + ": " + records[i].second + " out of order");
      view.entries.push_back(records[i].first);
      if (records[i].first.folder)
        below.push_back({records[i].first.path + "/", records[i].first.extent, records[i].first.size, extent});
    }
    return below;
  }

  std::pair<ImageEntry, std::string> ParseRecord(const std::uint8_t* r, std::size_t len, const std::string& prefix) {
    ImageEntry e;
    std::size_t idLen = r[32];
    std::string id(reinterpret_cast<const char*>(r + 33), idLen);
    if (Le32(r + 2) != Be32(r + 6) || Le32(r + 10) != Be32(r + 14)) Problem(prefix + id + ": both-endian fields differ");
    e.extent = Le32(r + 2);
    e.size = Le32(r + 10);
    e.folder = (r[25] & 2) != 0;
    e.path = prefix + id;
    std::copy(r + 18, r + 25, e.date);
    std::size_t xa = 33 + idLen + (idLen % 2 == 0 ? 1 : 0);
    if (len != xa + 14 || r[xa + 6] != 'X' || r[xa + 7] != 'A') {
      Problem(e.path + ": no XA field");
    } else {
      e.xaAttributes = Be16(r + xa + 4);
      e.xaFileNumber = r[xa + 8];
    }
    return {e, id};
  }

  void CheckDotRecords(const std::string& prefix, const std::vector<std::pair<ImageEntry, std::string>>& records,
                       std::uint32_t extent, std::uint32_t parentExtent) {
    if (records.size() < 2 || records[0].second != std::string(1, '\0') || records[1].second != std::string(1, '\1')) {
      Problem(prefix + ": no . and .. records");
      return;
    }
    if (records[0].first.extent != extent) Problem(prefix + ": . points elsewhere");
    if (records[1].first.extent != parentExtent) Problem(prefix + ": .. points elsewhere");
  }
};

void CheckPathTables(IsoView& view) {
  if (view.lTable.size() != view.mTable.size()) view.problems.push_back("L and M path tables differ in length");
  for (std::size_t i = 0; i < view.lTable.size() && i < view.mTable.size(); ++i) {
    const auto &l = view.lTable[i], &m = view.mTable[i];
    if (l.identifier != m.identifier || l.extent != m.extent || l.parent != m.parent)
      view.problems.push_back("L and M path tables differ at record " + std::to_string(i + 1));
  }
  // By depth (parents come before children), then parent number, then identifier.
  for (std::size_t i = 1; i < view.lTable.size(); ++i) {
    const auto &a = view.lTable[i - 1], &b = view.lTable[i];
    if (b.parent > i) view.problems.push_back("path table record " + std::to_string(i + 1) + " before its parent");
    if (i > 1 && (a.parent > b.parent || (a.parent == b.parent && PadCompare(a.identifier, b.identifier) >= 0)))
      view.problems.push_back("path table out of order at record " + std::to_string(i + 1));
  }
}

}  // namespace

bool LoadRawImage(const std::string& path, RawImage& image) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return image.bytes.size() % 2352 == 0 && image.SectorCount() > 17;
}

IsoView ReadIsoView(const RawImage& img) {
  IsoView view;
  if (img.SectorCount() < 18) {
    view.problems.push_back("image too short for the volume descriptors");
    return view;
  }
  const std::uint8_t* pvd = img.UserData(16);
  if (pvd[0] != 1 || std::string(reinterpret_cast<const char*>(pvd + 1), 5) != "CD001") {
    view.problems.push_back("no primary volume descriptor at 16");
    return view;
  }
  if (std::string(reinterpret_cast<const char*>(pvd + 1024), 8) != "CD-XA001") view.problems.push_back("no CD-XA001 mark");
  if (img.UserData(17)[0] != 0xFF) view.problems.push_back("no terminator at 17");
  view.volumeIdentifier = std::string(reinterpret_cast<const char*>(pvd + 40), 32);
  view.volumeSpaceSize = Le32(pvd + 80);
  const std::uint32_t tableBytes = Le32(pvd + 132), lLba = Le32(pvd + 140), mLba = Be32(pvd + 148);
  view.lTable = ReadPathTable(img, lLba, tableBytes, false, view.problems);
  view.mTable = ReadPathTable(img, mLba, tableBytes, true, view.problems);
  for (std::uint32_t lba = 0; lba < 18; ++lba) view.structureSectors.push_back(lba);
  for (std::uint32_t i = 0; i * 2048 < tableBytes && !view.lTable.empty(); ++i) {
    view.structureSectors.push_back(lLba + i);
    view.structureSectors.push_back(mLba + i);
  }
  CheckPathTables(view);
  const std::uint8_t* root = pvd + 156;
  if (root[0] != 34) view.problems.push_back("root record is not 34 bytes");
  DirWalker{img, view}.WalkAll(Le32(root + 2), Le32(root + 10));
  return view;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> CuePregaps(const std::string& cueText) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> gaps;
  std::regex index(R"(INDEX (\d\d) (\d\d):(\d\d):(\d\d))");
  std::istringstream lines(cueText);
  std::string line;
  std::uint32_t index00 = 0;
  for (std::smatch m; std::getline(lines, line);) {
    if (!std::regex_search(line, m, index)) continue;
    std::uint32_t at = std::stoul(m[2]) * 4500 + std::stoul(m[3]) * 75 + std::stoul(m[4]);
    if (m[1] == "00") index00 = at;
    else if (index00 != 0) gaps.emplace_back(index00, at), index00 = 0;
  }
  return gaps;
}
