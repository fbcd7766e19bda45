// Whole images from layouts made here, checked by readers that share no code
// with the writer: check_sectors.py (every sector), cd-info (XA listing),
// bchunk + 7z (Form 1 extraction), a raw read of the Form 2 extents, and the
// tests' own XaImageReader (tables, sort order, record bounds, form bits).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "ImageScenarios.h"
#include "ToolTestSupport.h"
#include "XaImageReader.h"
#include "tool/SectorSink.h"

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// "DIR/NAME.EXT;1" -> "DIR/NAME.EXT"; "DIR/README.;1" -> "DIR/README".
std::string Visible(const std::string& recorded) {
  std::string s = recorded.substr(0, recorded.rfind(';'));
  if (recorded.find(';') != std::string::npos && !s.empty() && s.back() == '.') s.pop_back();
  return s;
}

// Sectors a Form 2 file of `size` bytes takes.
std::uint32_t Form2Sectors(std::size_t size) { return static_cast<std::uint32_t>((size + 2323) / 2324); }

// What each sector should be: '1' Form 1 structure or file, '2' Form 2 file,
// 'g' empty Form 2 gap or fill, 'z' zero Form 1 fill, 0 not known yet.
struct SectorRoles {
  std::vector<char> role;
  std::set<std::uint32_t> index01;  // track starts after a pre-gap
};

SectorRoles KnownRoles(const RawImage& img, const IsoView& view, const std::string& cue) {
  SectorRoles r{std::vector<char>(img.SectorCount(), 0), {}};
  for (std::uint32_t s : view.structureSectors) r.role.at(s) = '1';
  for (auto [from, to] : CuePregaps(cue)) {
    r.index01.insert(to);
    for (std::uint32_t s = from; s < to; ++s) r.role.at(s) = 'g';
  }
  for (std::size_t s = img.SectorCount() - 150; s < img.SectorCount(); ++s) r.role[s] = 'g';
  return r;
}

void CheckFolders(const RawImage& img, const IsoView& view) {
  for (const std::string& p : view.problems) ADD_FAILURE() << p;
  std::set<std::uint32_t> folderExtents;
  for (const ImageEntry& e : view.entries) {
    if (!e.folder) continue;
    EXPECT_EQ(e.xaAttributes, 0x8D55) << e.path;
    folderExtents.insert(e.extent);
  }
  for (std::size_t i = 1; i < view.lTable.size(); ++i) {
    EXPECT_EQ(folderExtents.count(view.lTable[i].extent), 1u) << "path table record " << i + 1;
  }
  EXPECT_EQ(view.lTable.size(), folderExtents.size() + 1);
  EXPECT_EQ(view.volumeSpaceSize, img.SectorCount() - 150);
}

void CheckFile(const ImageEntry& e, const std::string& source, bool form2, bool ownTrack, const RawImage& img,
               SectorRoles& roles) {
  const std::vector<std::uint8_t> data = ReadFile(source);
  const std::size_t per = form2 ? 2324 : 2048;
  const std::uint32_t sectors = static_cast<std::uint32_t>((data.size() + per - 1) / per);
  EXPECT_EQ(e.xaAttributes, form2 ? 0x1555 : 0x0D55) << e.path;
  EXPECT_EQ(e.xaFileNumber, form2 ? 1 : 0) << e.path;
  EXPECT_EQ(e.size, form2 ? sectors * 2048 : data.size()) << e.path;
  if (ownTrack && !data.empty()) {
    EXPECT_EQ(roles.index01.count(e.extent), 1u) << e.path << " not at an INDEX 01";
  }
  std::vector<std::uint8_t> raw;
  for (std::uint32_t s = e.extent; s < e.extent + sectors; ++s) {
    roles.role.at(s) = form2 ? '2' : '1';
    raw.insert(raw.end(), img.UserData(s), img.UserData(s) + per);
    EXPECT_EQ(img.Sector(s)[16], form2 ? 1 : 0) << e.path << " subheader file number";
  }
  std::vector<std::uint8_t> padded = data;
  padded.resize(raw.size(), 0);
  EXPECT_TRUE(raw == padded) << e.path << ": raw extent differs from the source";
}

// The form bit is set on exactly the Form 2 extents and the gaps; what no
// structure or file claims is fill: zero Form 1 sectors in the data track,
// empty Form 2 sectors after a Form 2 track.
void CheckFormBitsAndFill(const RawImage& img, SectorRoles& roles) {
  const std::uint32_t firstPregap = roles.index01.empty() ? static_cast<std::uint32_t>(img.SectorCount() - 150)
                                                          : *roles.index01.begin() - 150;
  EXPECT_GE(firstPregap, 300u) << "data track shorter than 300 sectors";
  for (std::size_t s = 0; s < img.SectorCount(); ++s) {
    char& role = roles.role[s];
    if (role == 0) role = s < firstPregap ? 'z' : 'g';
    ASSERT_EQ(img.IsForm2(s), role == '2' || role == 'g') << "form bit of sector " << s << " (" << role << ")";
    if (role == 'z' || role == 'g') {
      const std::uint8_t* u = img.UserData(s);
      ASSERT_TRUE(std::all_of(u, u + (img.IsForm2(s) ? 2324 : 2048), [](auto v) { return v == 0; }))
          << "gap or fill sector " << s << " is not empty";
    }
  }
}

std::uint32_t Le32At(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

// The subheader of every sector, both copies: Data on every Form 1 sector,
// Form + Data on Form 2 file sectors (file number 1), Form alone on gaps; EOR
// ends the descriptor set, each path table and each directory; EOF + EOR end
// each file, each path table and each directory.
void CheckSubheaders(const RawImage& img, const IsoView& view, const SectorRoles& roles) {
  std::vector<std::uint8_t> submode(img.SectorCount());
  std::vector<std::uint8_t> fileNumber(img.SectorCount(), 0);
  for (std::size_t s = 0; s < img.SectorCount(); ++s) {
    switch (roles.role[s]) {
      case '2': submode[s] = 0x28, fileNumber[s] = 1; break;
      case 'g': submode[s] = 0x20; break;
      default: submode[s] = 0x08;
    }
  }
  auto lastOf = [&](std::uint32_t extent, std::uint64_t sectors, std::uint8_t mark) {
    if (sectors > 0) submode.at(extent + sectors - 1) |= mark;
  };
  submode.at(16) = 0x09;
  submode.at(17) = 0x89;
  const std::uint8_t* pvd = img.UserData(16);
  const std::uint32_t tableSectors = (Le32At(pvd + 132) + 2047) / 2048;
  lastOf(Le32At(pvd + 140), tableSectors, 0x81);
  lastOf(__builtin_bswap32(Le32At(pvd + 148)), tableSectors, 0x81);
  lastOf(Le32At(pvd + 156 + 2), Le32At(pvd + 156 + 10) / 2048, 0x81);
  for (const ImageEntry& e : view.entries) {
    const bool form2 = (e.xaAttributes & 0x1000) != 0;
    lastOf(e.extent, form2 || e.folder ? e.size / 2048 : (e.size + 2047) / 2048, 0x81);
  }
  for (std::size_t s = 0; s < img.SectorCount(); ++s) {
    const std::uint8_t* sub = img.Sector(s) + 16;
    ASSERT_TRUE(std::equal(sub, sub + 4, sub + 4)) << "subheader copies differ in sector " << s;
    ASSERT_EQ(sub[0], fileNumber[s]) << "file number of sector " << s;
    ASSERT_EQ(sub[1], 0) << "channel of sector " << s;
    ASSERT_EQ(sub[2], submode[s]) << "submode of sector " << s << " (" << roles.role[s] << ")";
    ASSERT_EQ(sub[3], 0) << "coding of sector " << s;
  }
}

// Levels 1 and 2: d-characters only, the length limits, at most 8 folder levels.
void CheckNameLimits(const IsoView& view, int level) {
  const std::regex dChars("[A-Z0-9_]*");
  for (const ImageEntry& e : view.entries) {
    const std::string id = e.path.substr(e.path.rfind('/') + 1);
    const std::size_t levels = static_cast<std::size_t>(std::count(e.path.begin(), e.path.end(), '/')) + 2;
    if (e.folder) {
      EXPECT_TRUE(std::regex_match(id, dChars)) << e.path;
      EXPECT_LE(id.size(), level == 1 ? 8u : 31u) << e.path;
      EXPECT_LE(levels, 8u) << e.path;
      continue;
    }
    const std::string bare = id.substr(0, id.find(';'));
    const std::string name = bare.substr(0, bare.find('.')), ext = bare.substr(bare.find('.') + 1);
    EXPECT_EQ(id.substr(bare.size()), ";1") << e.path;
    EXPECT_TRUE(std::regex_match(name, dChars) && std::regex_match(ext, dChars)) << e.path;
    if (level == 1) {
      EXPECT_TRUE(name.size() <= 8 && ext.size() <= 3) << e.path;
    } else {
      EXPECT_LE(name.size() + ext.size(), 30u) << e.path;
    }
  }
}

void CheckWithOwnReader(const Built& b, const RawImage& img, const IsoView& view, bool singleTrack) {
  CheckFolders(img, view);
  std::map<std::string, const ImageEntry*> byPath;
  for (const ImageEntry& e : view.entries) byPath[Visible(e.path)] = &e;
  const std::string cue = ReadText(b.cue);
  SectorRoles roles = KnownRoles(img, view, cue);
  for (const auto& [path, source] : b.sourceOf) {
    auto it = byPath.find(path);
    ASSERT_NE(it, byPath.end()) << path << " is not in the image";
    CheckFile(*it->second, source, b.form2Of.at(path), !singleTrack && b.form2Of.at(path), img, roles);
  }
  CheckFormBitsAndFill(img, roles);
  CheckSubheaders(img, view, roles);
  EXPECT_NE(cue.find("TRACK 01 MODE2/2352\n    INDEX 01 00:00:00"), std::string::npos) << cue;
  // One data track, then one track for each Form 2 file that has content.
  std::size_t tracks = 0;
  for (std::size_t at = cue.find("  TRACK "); at != std::string::npos; at = cue.find("  TRACK ", at + 1)) ++tracks;
  std::size_t ownTracks = 0;
  for (const auto& [path, form2] : b.form2Of) ownTracks += form2 && !ReadFile(b.sourceOf.at(path)).empty() ? 1 : 0;
  EXPECT_EQ(tracks, singleTrack ? 1 : 1 + ownTracks) << cue;
}

struct CdInfoEntry {
  std::string attributes;
  std::uint64_t size = 0, recorded = 0;
  bool hasRecorded = false;
};

std::map<std::string, CdInfoEntry> ParseCdInfo(const std::string& text) {
  std::map<std::string, CdInfoEntry> out;
  const std::regex header(R"(^(/.*):$)");
  const std::regex entry(R"(^\s+(\S+) .*\[LSN\s+\d+\]\s+(\d+)(?: \(\s*(\d+)\))? \w{3} \d\d \d{4} \d\d:\d\d:\d\d  (.*)$)");
  std::istringstream lines(text);
  std::string line, dir;
  for (std::smatch m; std::getline(lines, line);) {
    if (std::regex_match(line, m, header)) dir = m[1];
    else if (std::regex_match(line, m, entry))
      out[Lower(dir + std::string(m[4]))] = {m[1], std::stoull(m[2]), m[3].matched ? std::stoull(m[3]) : 0, m[3].matched};
  }
  return out;
}

void CheckWithCdInfo(const Built& b) {
  const CommandResult r = RunCommand("cd-info --no-header --no-device-info --cue-file " + ShellQuote(b.cue) + " --iso9660");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("XA sectors"), std::string::npos) << r.output;
  const auto listing = ParseCdInfo(r.output);
  for (const auto& [path, source] : b.sourceOf) {
    auto it = listing.find(Lower("/" + path));
    ASSERT_NE(it, listing.end()) << path << " not listed by cd-info:\n" << r.output;
    const std::size_t size = ReadFile(source).size();
    if (b.form2Of.at(path)) {
      EXPECT_EQ(it->second.attributes, "---2-xrxrxr") << path;
      EXPECT_TRUE(it->second.hasRecorded) << path;
      EXPECT_EQ(it->second.recorded, Form2Sectors(size) * 2048ull) << path;
    } else {
      EXPECT_EQ(it->second.attributes, "----1xrxrxr") << path;
      EXPECT_EQ(it->second.size, size) << path;
    }
  }
}

void CheckWithBchunkAnd7z(const Built& b, bool singleTrack) {
  const std::string out = b.dir / "chunk";
  const CommandResult chunk = RunCommand("cd " + ShellQuote(b.dir.Path()) + " && bchunk image/disc.bin image/disc.cue chunk");
  ASSERT_EQ(chunk.exitCode, 0) << chunk.output;
  std::string line = "7z x -y -o" + ShellQuote(b.dir / "x") + " " + ShellQuote(out + "01.iso");
  for (const auto& [path, form2] : b.form2Of)
    if (!form2) line.append(1, ' ').append(ShellQuote(path));
  const CommandResult x = RunCommand(line);
  // A multi-track image has Form 2 files beyond the first track's ISO.
  const bool beyond = !singleTrack && std::any_of(b.form2Of.begin(), b.form2Of.end(), [&](auto& p) {
    return p.second && !ReadFile(b.sourceOf.at(p.first)).empty();
  });
  if (beyond) {
    EXPECT_TRUE(x.exitCode == 0 || x.output.find("Unexpected end of archive") != std::string::npos) << x.output;
  } else {
    EXPECT_EQ(x.exitCode, 0) << x.output;
  }
  for (const auto& [path, form2] : b.form2Of) {
    if (form2) continue;
    ASSERT_TRUE(FileExists(b.dir / ("x/" + path))) << path << " not extracted by 7z:\n" << x.output;
    EXPECT_TRUE(ReadFile(b.dir / ("x/" + path)) == ReadFile(b.sourceOf.at(path))) << path << " extracted by 7z differs";
  }
}

class ToolImage : public ::testing::TestWithParam<Scenario> {};

TEST_P(ToolImage, PassesEveryOracle) {
  for (auto [program, package] : {std::pair{"python3", "python3"}, {"cd-info", "libcdio-utils"},
                                  {"bchunk", "bchunk"}, {"7z", "p7zip-full"}})
    if (std::string m = MissingProgram(program, package); !m.empty()) FAIL() << m;
  const Scenario& sc = GetParam();
  Built b;
  Build(sc, b);
  const ToolResult run = RunTool(b.args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("100%\nImage " + b.bin + " written: "), std::string::npos) << run.out;
  for (const std::string& renamed : sc.renames) EXPECT_NE(run.out.find("Renamed " + b.sourceOf.at(renamed)), std::string::npos) << run.out;
  ASSERT_TRUE(FileExists(b.cue));

  const CommandResult sectors = RunCommand("python3 " + ShellQuote(SharedToolsDir() + "/check_sectors.py") + " --strict-form2-edc " + ShellQuote(b.bin));
  EXPECT_EQ(sectors.exitCode, 0) << sectors.output;

  const bool singleTrack = std::find(sc.settings.begin(), sc.settings.end(), "-s") != sc.settings.end();
  RawImage img;
  ASSERT_TRUE(LoadRawImage(b.bin, img));
  const IsoView view = ReadIsoView(img);
  CheckWithOwnReader(b, img, view, singleTrack);
  for (int level : {1, 2}) {
    if (std::find(sc.settings.begin(), sc.settings.end(), "-isolevel" + std::to_string(level)) != sc.settings.end())
      CheckNameLimits(view, level);
  }
  CheckWithCdInfo(b);
  CheckWithBchunkAnd7z(b, singleTrack);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ToolImage, ::testing::ValuesIn(ImageScenarios()),
                         [](const auto& info) { return info.param.name; });

// An image of more than the sink's four batch buffers, with a partial last
// batch: the later batches reuse buffers that held earlier files, so file
// slack and gap sectors are empty only if every unused byte is zeroed again.
// (Only the own reader: the image is large, and nothing else here is new.)
TEST(ToolImageBuffers, ReusedBatchBuffersLeaveNoStaleBytesInSlackOrGaps) {
  const Scenario sc{"ReusedBuffers",
                    {},
                    {{'f', "a.dat", 2048 * 2100 + 5, "a.dat"},
                     {'f', "b.dat", 2048 * 2100 + 777, "b.dat"},
                     {'m', "c.mpg", 2324 * 600 + 11, "c.mpg"},
                     {'m', "d.mpg", 2324 * 300 + 1000, "d.mpg"}},
                    {}};
  Built b;
  Build(sc, b);
  const ToolResult run = RunTool(b.args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  RawImage img;
  ASSERT_TRUE(LoadRawImage(b.bin, img));
  constexpr std::size_t BATCH = SectorSink::SECTORS_PER_WRITE;
  ASSERT_GT(img.SectorCount(), SectorSink::BUFFERS * BATCH) << "no buffer is reused";
  ASSERT_NE(img.SectorCount() % BATCH, 0u) << "the last batch is full";
  CheckWithOwnReader(b, img, ReadIsoView(img), false);
}

}  // namespace
