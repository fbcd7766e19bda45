// Images read back: --extract gives the files and a layout that writes the
// same image again, --check finds damaged sectors by number, and a hostile
// image never leads a write outside the folder nor ends in a crash.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "ImageScenarios.h"
#include "ToolTestSupport.h"
#include "XaImageReader.h"
#include "tool/SectorCode.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* EPOCH = "1700000000";

// SOURCE_DATE_EPOCH for the runs of one test.
struct FixedDate {
  FixedDate() { setenv("SOURCE_DATE_EPOCH", EPOCH, 1); }
  ~FixedDate() { unsetenv("SOURCE_DATE_EPOCH"); }
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
  return s;
}

// Every path below `root`, relative, folders marked with a trailing '/'.
std::set<std::string> Tree(const std::string& root) {
  std::set<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    out.insert(e.is_symlink() ? rel + "@" : e.is_directory() ? rel + "/" : rel);
  }
  return out;
}

class ImageReadBack : public ::testing::TestWithParam<Scenario> {};

TEST_P(ImageReadBack, ExtractedLayoutWritesTheSameImage) {
  FixedDate date;
  Built b;
  Build(GetParam(), b);
  ASSERT_EQ(RunTool(b.args).exitCode, 0);
  const ToolResult check = RunTool({"--check", b.cue});
  EXPECT_EQ(check.exitCode, 0) << check.out;

  const ToolResult x = RunTool({"--extract", b.cue, b.dir / "x"});
  ASSERT_EQ(x.exitCode, 0) << x.err;
  EXPECT_NE(x.out.find(std::string("Image date: SOURCE_DATE_EPOCH=") + EPOCH), std::string::npos) << x.out;
  for (const auto& [path, source] : b.sourceOf) {
    std::vector<std::uint8_t> expected = ReadFile(source);
    if (b.form2Of.at(path)) expected.resize((expected.size() + 2323) / 2324 * 2324, 0);
    EXPECT_TRUE(ReadFile(b.dir / ("x/" + path)) == expected) << path;
  }
  const ToolResult again = RunTool({"@" + (b.dir / "x.kbv")});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(ReadFile(b.dir / "x.bin") == ReadFile(b.bin)) << "the rebuilt image differs";
  EXPECT_EQ(ReadText(b.dir / "x.cue"), Replace(ReadText(b.cue), "\"disc.bin\"", "\"x.bin\""));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ImageReadBack, ::testing::ValuesIn(ImageScenarios()),
                         [](const auto& info) { return info.param.name; });

// A small valid image to damage: top.txt, SUB/inner.txt, clip.mpg in a track of its own.
struct SmallImage {
  ScratchDir dir;
  RawImage img;
  IsoView view;
  std::string bin = dir / "image/disc.bin", cue = dir / "image/disc.cue";

  // Written once, copied for each test.
  SmallImage() {
    static const SmallImage original(true);
    RunCommand("mkdir -p " + ShellQuote(dir / "image"));
    img = original.img;
    view = original.view;
    Save();
    RunCommand("cp " + ShellQuote(original.cue) + " " + ShellQuote(cue));
  }
  explicit SmallImage(bool) {
    RunCommand("mkdir -p " + ShellQuote(dir / "image") + " " + ShellQuote(dir / "src"));
    WriteFile(dir / "src/top.txt", PatternBytes(3000, 1));
    WriteFile(dir / "src/inner.txt", PatternBytes(100, 2));
    WriteFile(dir / "src/clip.mpg", PatternBytes(5000, 3));
    const ToolResult r = RunTool({"-o", dir / "image/disc", "-f", dir / "src/top.txt", "-m", dir / "src/clip.mpg",
                                  "-d", "SUB", "-f", dir / "src/inner.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(LoadRawImage(bin, img));
    view = ReadIsoView(img);
  }
  const ImageEntry& Entry(const std::string& path) const {
    return *std::find_if(view.entries.begin(), view.entries.end(), [&](const ImageEntry& e) { return e.path == path; });
  }
  std::uint32_t RootExtent() const { return img.UserData(16)[158] | img.UserData(16)[159] << 8; }
  // The directory record whose identifier is `id` (the directories follow the path tables).
  std::uint8_t* Record(const std::string& id) {
    const auto from = img.bytes.begin() + static_cast<std::ptrdiff_t>(RootExtent()) * 2352;
    const auto at = std::search(from, img.bytes.end(), id.begin(), id.end());
    return &*at - 33;
  }
  // Makes a Form 1 sector whole again after its data was changed.
  void Reencode(const std::uint8_t* inside) {
    const std::size_t lba = static_cast<std::size_t>(inside - img.bytes.data()) / 2352;
    sector::EncodeSector(sector::SectorSpan(img.bytes.data() + lba * 2352, 2352), static_cast<std::uint32_t>(lba));
  }
  void Save() const { WriteFile(bin, img.bytes); }
};

void PutBoth32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i)), p[7 - i] = p[i];
}

struct Hostile {
  const char* name;
  std::function<std::string(SmallImage&)> damage;  // returns the image path to open
  std::set<int> statuses;                           // of --extract
  const char* said;                                 // a piece of what it says
};

std::string Renamed(SmallImage& s, std::string_view id) {
  std::uint8_t* rec = s.Record("inner.txt;1");
  rec[32] = static_cast<std::uint8_t>(id.size());
  std::copy(id.begin(), id.end(), rec + 33);
  s.Reencode(rec);
  return s.cue;
}

const Hostile HOSTILE[] = {
    {"DotDotName", [](SmallImage& s) { return Renamed(s, ".."); }, {5}, "its name cannot be"},
    {"DotName", [](SmallImage& s) { return Renamed(s, "."); }, {5}, "its name cannot be"},
    {"SlashName", [](SmallImage& s) { return Renamed(s, "../../escape"); }, {5}, "its name cannot be"},
    {"NulName", [](SmallImage& s) { return Renamed(s, std::string_view("a\0b", 3)); }, {5}, "SUB/a\\x00b"},
    {"ControlName", [](SmallImage& s) { return Renamed(s, "a\x1b" "b"); }, {5}, "SUB/a\\x1Bb"},
    {"FolderIsItsParent",
     [](SmallImage& s) {
       std::uint8_t* rec = s.Record("SUB");
       PutBoth32(rec + 2, s.RootExtent());
       s.Reencode(rec);
       return s.cue;
     }, {5}, "loops back"},
    {"FolderContainsItself",
     [](SmallImage& s) {
       std::uint8_t* rec = s.Record("inner.txt;1");
       rec[25] = 2;
       PutBoth32(rec + 2, s.Entry("SUB").extent);
       s.Reencode(rec);
       return s.cue;
     }, {5}, "loops back"},
    {"ExtentPastTheEnd",
     [](SmallImage& s) {
       PutBoth32(s.Record("top.txt;1") + 2, 10'000'000);
       s.Reencode(s.Record("top.txt;1"));
       return s.cue;
     }, {5}, "past the end"},
    {"FourGigabyteFile",
     [](SmallImage& s) {
       PutBoth32(s.Record("top.txt;1") + 10, 0xFFFFFFFFu);
       s.Reencode(s.Record("top.txt;1"));
       return s.cue;
     }, {5}, "past the end"},
    {"RecordCrossesItsSector",
     [](SmallImage& s) {
       std::uint8_t* dir = s.img.bytes.data() + std::size_t{s.RootExtent()} * 2352 + 24;
       std::size_t at = 0;
       while (dir[at] != 0) at += dir[at];
       for (; at < 2048; at += 254) dir[at] = 254, dir[at + 32] = 1;  // "." records up to the edge and past it
       s.Reencode(dir);
       return s.cue;
     }, {5}, "crosses the end of its sector"},
    {"TruncatedBinWithCue",
     [](SmallImage& s) {
       s.img.bytes.resize(400 * 2352 + 100);
       return s.cue;
     }, {2}, "past the end of the image"},
    {"TruncatedBinAlone",
     [](SmallImage& s) {
       s.img.bytes.resize(std::size_t{s.Entry("top.txt;1").extent} * 2352 + 1000);
       return s.bin;
     }, {5}, "past the end"},
    {"CueNamesAnotherFile",
     [](SmallImage& s) {
       WriteFile(s.cue, {});
       RunCommand("printf 'FILE \"../../../etc/passwd\" BINARY\\n  TRACK 01 MODE2/2352\\n    INDEX 01 00:00:00\\n' > " + ShellQuote(s.cue));
       return s.cue;
     }, {2}, "is not a file beside it"},
    {"CueNamesAMissingFile",
     [](SmallImage& s) {
       RunCommand("printf 'FILE \"gone.bin\" BINARY\\n  TRACK 01 MODE2/2352\\n    INDEX 01 00:00:00\\n' > " + ShellQuote(s.cue));
       return s.cue;
     }, {2}, "gone.bin"},
    {"BadSyncInAFile",
     [](SmallImage& s) {
       s.img.bytes[std::size_t{s.Entry("top.txt;1").extent} * 2352 + 5] = 0;
       return s.cue;
     }, {5}, "Damaged top.txt: sector"},
    {"ModeOneHeader",
     [](SmallImage& s) {
       s.img.bytes[std::size_t{s.Entry("SUB/inner.txt;1").extent} * 2352 + 15] = 1;
       return s.cue;
     }, {5}, "not a Mode 2 sector"},
};

// Whatever the damage: a status from the list and a message, never a crash;
// nothing written but FOLDER and FOLDER.kbv, no link inside FOLDER; --check
// finds the damage too.
TEST(HostileImage, EndsWithAStatusAndWritesOnlyIntoTheFolder) {
  for (const Hostile& hostile : HOSTILE) {
    SCOPED_TRACE(hostile.name);
    SmallImage s;
    const std::string image = hostile.damage(s);
    if (image == s.cue || image == s.bin) s.Save();
    const std::set<std::string> before = Tree(s.dir.Path());
    const ToolResult x = RunTool({"--extract", image, s.dir / "out"});
    EXPECT_TRUE(hostile.statuses.count(x.exitCode)) << "status " << x.exitCode << "\n" << x.err;
    EXPECT_NE((x.out + x.err).find(hostile.said), std::string::npos) << x.out << x.err;
    for (const std::string& path : Tree(s.dir.Path())) {
      if (before.count(path)) continue;
      EXPECT_TRUE(path == "out/" || path == "out.kbv" || path.rfind("out/", 0) == 0) << "written outside: " << path;
      EXPECT_EQ(path.find('@'), std::string::npos) << "a link: " << path;
    }
    const ToolResult check = RunTool({"--check", image});
    EXPECT_TRUE(check.exitCode == 5 || check.exitCode == 2) << check.out << check.err;
  }
}

TEST(ImageExtract, RefusesAFolderThatHoldsAnything) {
  SmallImage s;
  RunCommand("mkdir " + ShellQuote(s.dir / "out") + " && ln -s /tmp " + ShellQuote(s.dir / "out/link"));
  const ToolResult x = RunTool({"--extract", s.cue, s.dir / "out"});
  EXPECT_EQ(x.exitCode, 3);
  EXPECT_NE(x.err.find("it is not empty"), std::string::npos) << x.err;
  EXPECT_FALSE(FileExists(s.dir / "out.kbv"));
}

// One flipped bit, found by the number of its sector.
TEST(ImageCheck, FindsAFlippedBitBySectorNumber) {
  const struct {
    const char* file;
    std::size_t offset;
    const char* fault;
  } flips[] = {{"top.txt;1", 24 + 700, "EDC does not match"},
               {"top.txt;1", sector::ECC_P_OFFSET + 9, "ECC does not match"},
               {"clip.mpg;1", 24 + 2000, "EDC does not match"}};
  for (const auto& flip : flips) {
    SmallImage s;
    const std::uint32_t lba = s.Entry(flip.file).extent + 1;
    s.img.bytes[std::size_t{lba} * 2352 + flip.offset] ^= 0x10;
    s.Save();
    const ToolResult r = RunTool({"--check", s.cue});
    EXPECT_EQ(r.exitCode, 5) << flip.file;
    EXPECT_NE(r.out.find("sector " + std::to_string(lba) + ": " + flip.fault), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", 1 bad, 0 faults"), std::string::npos) << r.out;
  }
}

// Extracts `image`, writes the layout again, and extracts that: the same tree
// with the same contents, and each file in the same Form.
void ExpectRebuildKeepsTheTree(const ScratchDir& dir, const std::string& image) {
  const ToolResult x = RunTool({"--extract", image, dir / "x"});
  ASSERT_EQ(x.exitCode, 0) << x.err;
  ASSERT_EQ(RunTool({"@" + (dir / "x.kbv")}).exitCode, 0);
  const ToolResult y = RunTool({"--extract", dir / "x.cue", dir / "y"});
  ASSERT_EQ(y.exitCode, 0) << y.err;
  EXPECT_EQ(Tree(dir / "x"), Tree(dir / "y"));
  EXPECT_EQ(RunCommand("diff -r " + ShellQuote(dir / "x") + " " + ShellQuote(dir / "y")).exitCode, 0);
  // The entries after the settings: the same folders, files and Forms.
  const auto entries = [&](const std::string& name) {
    const std::string text = Replace(ReadText(dir / (name + ".kbv")), dir / name, "");
    return text.substr(text.find(" -x"));
  };
  EXPECT_EQ(entries("x"), entries("y"));
}

TEST(ImageFromElsewhere, GenisoimageIso) {
  if (std::string m = MissingProgram("genisoimage", "genisoimage"); !m.empty()) FAIL() << m;
  ScratchDir dir;
  RunCommand("mkdir -p " + ShellQuote(dir / "src/DIR/SUB"));
  WriteFile(dir / "src/README.TXT", PatternBytes(3000, 4));
  WriteFile(dir / "src/DIR/DATA.BIN", PatternBytes(10000, 5));
  WriteFile(dir / "src/DIR/SUB/EMPTY.TXT", {});
  const CommandResult made = RunCommand("genisoimage -quiet -V GENVOL -o " + ShellQuote(dir / "g.iso") + " " + ShellQuote(dir / "src"));
  ASSERT_EQ(made.exitCode, 0) << made.output;
  EXPECT_EQ(RunTool({"--check", dir / "g.iso"}).exitCode, 0);
  ExpectRebuildKeepsTheTree(dir, dir / "g.iso");
  EXPECT_EQ(RunCommand("diff -r " + ShellQuote(dir / "src") + " " + ShellQuote(dir / "x")).exitCode, 0);
  EXPECT_NE(ReadText(dir / "x.kbv").find("-v \"GENVOL\""), std::string::npos);
}

// tests/tool/data/tiny.mpg: a tenth of a second of a black 352x240 picture with silence,
// made once with
//   ffmpeg -f lavfi -i color=black:size=352x240:rate=30000/1001
//          -f lavfi -i anullsrc=r=44100:cl=stereo -t 0.1 -c:v mpeg1video -b:v 1150k
//          -c:a mp2 -b:a 224k -ar 44100 -f vcd -muxrate 1411200 -packetsize 2324 tiny.mpg
TEST(ImageFromElsewhere, VcdimagerVideoCd) {
  if (std::string m = MissingProgram("vcdimager", "vcdimager"); !m.empty()) FAIL() << m;
  ScratchDir dir;
  const std::string mpeg = std::string(TOOL_TEST_DATA) + "/tiny.mpg";
  WriteFile(dir / "readme.txt", PatternBytes(4000, 6));
  const CommandResult made = RunCommand("cd " + ShellQuote(dir.Path()) + " && vcdimager -t vcd2 -l TESTVOL -c vcd.cue -b vcd.bin " +
                                        "--add-dir=EXTRA --add-file=readme.txt,EXTRA/README.TXT " + ShellQuote(mpeg));
  ASSERT_EQ(made.exitCode, 0) << made.output;
  const ToolResult check = RunTool({"--check", dir / "vcd.cue"});
  EXPECT_EQ(check.exitCode, 0) << check.out;
  ExpectRebuildKeepsTheTree(dir, dir / "vcd.cue");
  EXPECT_TRUE(ReadFile(dir / "x/EXTRA/README.TXT") == ReadFile(dir / "readme.txt"));
  // The stream's Form 2 sectors, all 2324 bytes of each.
  RawImage img;
  ASSERT_TRUE(LoadRawImage(dir / "vcd.bin", img));
  const IsoView view = ReadIsoView(img);
  const auto avseq = std::find_if(view.entries.begin(), view.entries.end(), [](auto& e) { return e.path == "MPEGAV/AVSEQ01.DAT;1"; });
  ASSERT_NE(avseq, view.entries.end());
  std::vector<std::uint8_t> raw;
  for (std::uint32_t s = avseq->extent; s < avseq->extent + avseq->size / 2048; ++s)
    raw.insert(raw.end(), img.UserData(s), img.UserData(s) + 2324);
  EXPECT_TRUE(ReadFile(dir / "x/MPEGAV/AVSEQ01.DAT") == raw);
  EXPECT_NE(ReadText(dir / "x.kbv").find("-m \"" + (dir / "x/MPEGAV/AVSEQ01.DAT") + "\""), std::string::npos);
}

}  // namespace
