// What the front-end and its users rely on: exit statuses with their messages,
// an image file that grows while the tool works, inputs that change under it,
// reproducible dates, the progress lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <fstream>
#include <utility>

#include "ToolTestSupport.h"
#include "XaImageReader.h"
#include "tool/SectorSink.h"

namespace {

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::vector<std::string> NestedFolders(int depth) {
  std::vector<std::string> args;
  std::string path;
  for (int i = 0; i < depth; ++i) {
    path += (i ? "\\D" : "D") + std::to_string(i);
    args.insert(args.end(), {"-d", path});
  }
  return args;
}

}  // namespace

TEST(ToolContract, ExitStatusesAndMessages) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(100, 1));
  RunCommand("mkdir " + ShellQuote(dir / "folder"));
  { std::ofstream huge(dir / "huge.bin"); }
  ASSERT_EQ(truncate((dir / "huge.bin").c_str(), 950'000'000), 0);  // sparse: more than 99:59:74
  const std::string target = dir / "disc";
  auto with = [&](std::vector<std::string> tail) {
    std::vector<std::string> args = {"-o", target};
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
  };
  WriteFile(dir / "tiny.mpg", PatternBytes(3, 9));
  std::vector<std::string> tracks100 = with({});  // 99 Form 2 tracks after the data track
  for (int i = 0; i < 99; ++i) tracks100.insert(tracks100.end(), {"-m", dir / "tiny.mpg"});
  std::vector<std::string> deep1 = with({"-isolevel1"}), deep2 = with({"-isolevel2"}), deepAscii = with({});
  for (auto* args : {&deep1, &deep2, &deepAscii}) {
    auto folders = NestedFolders(args == &deep2 ? 7 : 8);
    args->insert(args->end(), folders.begin(), folders.end());
  }
  const struct {
    std::string what;
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  } cases[] = {
      {"no arguments", {}, 1, "usage: brenvox.exe"},
      {"no -o", {"-f", dir / "a.txt"}, 1, "usage: brenvox.exe"},
      {"unknown option", with({"-z"}), 1, "unknown option '-z'"},
      {"value missing", with({"-f"}), 1, "-f needs a value"},
      {"missing input", with({"-f", dir / "a.txt", "-m", dir / "gone.mpg"}), 2, dir / "gone.mpg: No such file"},
      {"folder as input", with({"-f", dir / "folder"}), 2, dir / "folder: it is a directory"},
      {"output folder missing", {"-o", dir / "nowhere/disc", "-f", dir / "a.txt"}, 3, dir / "nowhere/disc.bin"},
      {"too many sectors", with({"-s", "-f", dir / "huge.bin"}), 4, "99:59:74"},
      {"100 tracks", tracks100, 4, "more than 99 tracks"},
      {"level 1, 9 levels", deep1, 4, "at most 8 folder levels"},
      {"level 2, 8 levels", deep2, 0, ""},
      {"ASCII, 9 levels", deepAscii, 0, ""},
  };
  for (const auto& c : cases) {
    unlink((target + ".bin").c_str());
    unlink((target + ".cue").c_str());
    const ToolResult r = RunTool(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(FileExists(target + ".cue"), c.exitCode == 0) << c.what;
    if (c.exitCode == 1 || c.exitCode == 2 || c.exitCode == 4) {
      EXPECT_FALSE(FileExists(target + ".bin")) << c.what;  // refused before writing
    }
  }
}

TEST(ToolContract, ImageThatCannotBeWrittenWholeStaysPartialWithoutCue) {
  ScratchDir dir;
  WriteFile(dir / "big.dat", PatternBytes(4'000'000, 6));
  // A file size limit of 1 MB: the writes beyond it fail with EFBIG.
  const CommandResult r = RunCommand("trap '' XFSZ; ulimit -f 1024; " + ShellQuote(ToolPath()) + " -o " +
                                     ShellQuote(dir / "disc") + " -f " + ShellQuote(dir / "big.dat"));
  EXPECT_EQ(r.exitCode, 3) << r.output;
  EXPECT_NE(r.output.find("Cannot write " + dir / "disc.bin" + ": File too large"), std::string::npos) << r.output;
  EXPECT_TRUE(FileExists(dir / "disc.bin"));
  EXPECT_FALSE(FileExists(dir / "disc.cue"));
}

TEST(ToolContract, FinishesTheImageWhenNobodyReadsItsOutput) {
  ScratchDir dir;
  WriteFile(dir / "a.dat", PatternBytes(3'000'000, 8));
  const std::string line = "( " + ShellQuote(ToolPath()) + " -o " + ShellQuote(dir / "disc") + " -f " +
                           ShellQuote(dir / "a.dat") + "; echo $? > " + ShellQuote(dir / "rc") + " ) | true";
  RunCommand(line);
  EXPECT_EQ(ReadText(dir / "rc"), "0\n");
  EXPECT_TRUE(FileExists(dir / "disc.cue"));
}

TEST(ToolContract, RefusesToOverwriteItsOwnInput) {
  ScratchDir dir;
  for (const char* own : {"disc.bin", "disc.cue"}) {
    const std::vector<std::uint8_t> bytes = PatternBytes(5000, 7);
    WriteFile(dir / own, bytes);
    const ToolResult r = RunTool({"-o", dir / "disc", "-f", dir / own});
    EXPECT_EQ(r.exitCode, 3) << own;
    EXPECT_NE(r.err.find("it is the input file " + dir / own), std::string::npos) << r.err;
    EXPECT_TRUE(ReadFile(dir / own) == bytes) << own << " was damaged";
    unlink((dir / own).c_str());
  }
}

constexpr std::uint64_t FIRST_WRITE = SectorSink::SECTORS_PER_WRITE * sector::SECTOR_SIZE;  // the sink's first buffer

TEST(ToolContract, ImageGrowsWhileWrittenAndProgressCountsUp) {
  ScratchDir dir;
  WriteFile(dir / "big.dat", PatternBytes(10'000'000, 2));
  LiveTool tool({"-o", dir / "disc", "-f", dir / "big.dat"}, dir / "err", true);
  // Stopped at its first progress line, the tool has written its first buffer and no more.
  ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "disc.bin") >= FIRST_WRITE; }, 60)) << ReadText(dir / "err");
  const std::uint64_t during = FileSize(dir / "disc.bin");
  std::vector<std::string> lines;
  for (std::string line; tool.ReadLine(line);) lines.push_back(line);
  ASSERT_EQ(tool.Wait(), 0) << ReadText(dir / "err");
  const std::uint64_t final = FileSize(dir / "disc.bin");
  EXPECT_EQ(during, FIRST_WRITE);
  EXPECT_GT(final, 4 * during);
  ASSERT_FALSE(lines.empty());
  EXPECT_LE(std::stoull(lines[0]) * final, during * 100) << "progress ran ahead of the file";
  // One line per whole percent, in order, then the image and its size.
  ASSERT_EQ(lines.size(), 101u);
  for (int p = 1; p <= 100; ++p) EXPECT_EQ(lines[p - 1], std::to_string(p) + "%");
  EXPECT_EQ(lines.back(), "Image " + dir / "disc.bin" + " written: " + std::to_string(final / 2352) + " sectors");
  EXPECT_EQ(ReadText(dir / "disc.cue"), "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n");
}

// Grown, shrunk, and grown by one byte past a file of whole sectors.
TEST(ToolContract, InputThatChangesSizeMeanwhileFailsAndLeavesNoCue) {
  const std::pair<std::size_t, std::size_t> changes[] = {{5000, 6000}, {5000, 4000}, {4096, 4097}};
  for (const auto& [before, after] : changes) {
    const bool grow = after > before;
    ScratchDir dir;
    WriteFile(dir / "big.dat", PatternBytes(10'000'000, 3));
    WriteFile(dir / "late.txt", PatternBytes(before, 4));
    LiveTool tool({"-o", dir / "disc", "-f", dir / "big.dat", "-f", dir / "late.txt"}, dir / "err", true);
    // Stopped at its first progress line, the tool has read no more than its four buffers hold.
    ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "disc.bin") >= FIRST_WRITE; }, 60)) << ReadText(dir / "err");
    WriteFile(dir / "late.txt", PatternBytes(after, 4));
    EXPECT_EQ(tool.Wait(), 2) << (grow ? "grown to " : "shrunk to ") << after;
    EXPECT_NE(ReadText(dir / "err").find(dir / "late.txt: it changed size"), std::string::npos) << ReadText(dir / "err");
    EXPECT_TRUE(FileExists(dir / "disc.bin"));
    EXPECT_FALSE(FileExists(dir / "disc.cue"));
  }
}

TEST(ToolContract, SourceDateEpochMakesImagesReproducible) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(3000, 5));
  std::vector<std::string> images;
  for (const char* name : {"one", "two"}) {
    const std::string line = "SOURCE_DATE_EPOCH=1700000000 " + ShellQuote(ToolPath()) + " -o " + ShellQuote(dir / name) +
                             " -f " + ShellQuote(dir / "a.txt") + " > /dev/null";
    ASSERT_EQ(RunCommand(line).exitCode, 0);
    images.push_back(ReadText(dir / (std::string(name) + ".bin")));
    sleep(images.size() == 1 ? 1 : 0);
  }
  EXPECT_TRUE(images[0] == images[1]);
  RawImage img;
  ASSERT_TRUE(LoadRawImage(dir / "one.bin", img));
  const std::uint8_t* pvd = img.UserData(16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 813), 17), std::string("2023111422132000") + '\0');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 830), 17), std::string("2023111422132000") + '\0');
  const IsoView view = ReadIsoView(img);
  EXPECT_EQ(view.volumeIdentifier, "CDROM" + std::string(27, ' '));
  // Every record, the root's in the descriptor included: 2023-11-14 22:13:20 UTC.
  const std::vector<std::uint8_t> expected = {123, 11, 14, 22, 13, 20, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(pvd + 156 + 18, pvd + 156 + 25), expected);
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(std::vector<std::uint8_t>(view.entries[0].date, view.entries[0].date + 7), expected);
}

TEST(ToolContract, SourceDateEpochOutsideTheIsoDatesIsRefused) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(10, 5));
  const struct {
    const char* epoch;
    int exitCode;
    const char* pvdDate;  // creation date written, when accepted
  } cases[] = {
      {"99999999999999999", 1, nullptr},
      {"7389403200", 1, nullptr},  // 2204-02-29 12:00:00: a record's year byte would wrap
      {"5869584000", 1, nullptr},  // 2156-01-01 00:00:00
      {"-1", 1, nullptr},
      {"5869583999", 0, "2155123123595900"},  // the last second a record can hold
      {"0", 0, "1970010100000000"},
  };
  for (const auto& c : cases) {
    unlink((dir / "disc.bin").c_str());
    const CommandResult r = RunCommand(std::string("SOURCE_DATE_EPOCH=") + c.epoch + " " + ShellQuote(ToolPath()) +
                                       " -o " + ShellQuote(dir / "disc") + " -f " + ShellQuote(dir / "a.txt") + " 2>&1");
    EXPECT_EQ(r.exitCode, c.exitCode) << c.epoch << ": " << r.output;
    if (c.exitCode != 0) {
      EXPECT_NE(r.output.find("SOURCE_DATE_EPOCH '" + std::string(c.epoch) + "' is outside"), std::string::npos) << r.output;
      EXPECT_FALSE(FileExists(dir / "disc.bin")) << c.epoch;
      continue;
    }
    RawImage img;
    ASSERT_TRUE(LoadRawImage(dir / "disc.bin", img));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(img.UserData(16) + 813), 16), c.pvdDate) << c.epoch;
    const IsoView view = ReadIsoView(img);
    ASSERT_EQ(view.entries.size(), 1u);
    EXPECT_EQ(view.entries[0].date[0] + 1900, std::stoi(std::string(c.pvdDate, 4))) << "the file's year, " << c.epoch;
  }
}

TEST(ToolContract, TheCauseOfAUsageErrorIsTheLastLine) {
  ScratchDir dir;  // a folder: an argument file that is not a regular file
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-o", "x", "-q"}, "unknown option '-q'"},
      {{"@" + dir.Path()}, "cannot read argument file " + dir.Path() + ": it is not a regular file"},
  };
  for (const auto& [args, cause] : cases) {
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_FALSE(r.err.empty());
    EXPECT_NE(r.err.find("usage: brenvox.exe"), std::string::npos) << r.err;
    const std::string body = r.err.substr(0, r.err.size() - 1);
    EXPECT_EQ(body.substr(body.rfind('\n') + 1), "brenvox.exe: " + cause) << r.err;
  }
}

TEST(ToolContract, TargetsTheCueSheetCannotNameAreRefused) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(10, 5));
  RunCommand("mkdir " + ShellQuote(dir / "sub"));
  for (const std::string& target : {dir / "say \"hi\"", dir / "sub/", dir / "sub/.", dir / "two\nlines"}) {
    const ToolResult r = RunTool({"-o", target, "-f", dir / "a.txt"});
    EXPECT_EQ(r.exitCode, 1) << target << ": " << r.err;
    EXPECT_FALSE(FileExists(target + ".bin")) << target;
  }
  EXPECT_EQ(RunCommand("ls -A " + ShellQuote(dir / "sub")).output, "");
}

TEST(ToolContract, AnOutputThatIsNotARegularFileIsRefusedBeforeAnythingIsWritten) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(10, 5));
  WriteFile(dir / "ff.cue", PatternBytes(10, 6));
  ASSERT_EQ(mkfifo((dir / "ff.bin").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((dir / "dd.cue").c_str(), 0700), 0);
  // No reader ever opens the FIFO: a tool that opened it for writing would wait for ever.
  const CommandResult fifo = RunCommand("timeout 20 " + ShellQuote(ToolPath()) + " -o " + ShellQuote(dir / "ff") +
                                        " -f " + ShellQuote(dir / "a.txt") + " 2>&1");
  EXPECT_EQ(fifo.exitCode, 3) << fifo.output;
  EXPECT_NE(fifo.output.find(dir / "ff.bin: it is not a regular file"), std::string::npos) << fifo.output;
  EXPECT_TRUE(FileExists(dir / "ff.cue")) << "the old cue sheet went although nothing was written";
  const ToolResult folder = RunTool({"-o", dir / "dd", "-f", dir / "a.txt"});
  EXPECT_EQ(folder.exitCode, 3) << folder.err;
  EXPECT_FALSE(FileExists(dir / "dd.bin"));
}

TEST(ToolContract, AnOldCueSheetGoesBeforeTheImageIsWritten) {
  ScratchDir dir;
  WriteFile(dir / "big.dat", PatternBytes(10'000'000, 2));
  WriteFile(dir / "disc.cue", {'o', 'l', 'd'});
  WriteFile(dir / "disc.cue.tmp", {'m', 'i', 'n', 'e'});  // an input of the old temporary name
  LiveTool tool({"-o", dir / "disc", "-f", dir / "big.dat", "-f", dir / "disc.cue.tmp"}, dir / "err", true);
  ASSERT_TRUE(WaitFor([&] { return FileSize(dir / "disc.bin") >= FIRST_WRITE; }, 60)) << ReadText(dir / "err");
  EXPECT_FALSE(FileExists(dir / "disc.cue")) << "a partial image beside a cue sheet reads as a whole disc";
  for (std::string line; tool.ReadLine(line);) {
  }
  ASSERT_EQ(tool.Wait(), 0) << ReadText(dir / "err");
  EXPECT_EQ(ReadText(dir / "disc.cue.tmp"), "mine");
  EXPECT_EQ(ReadText(dir / "disc.cue").substr(0, 4), "FILE");
  // Nothing else is left behind: the image, the cue sheet and the inputs.
  EXPECT_EQ(RunCommand("cd " + ShellQuote(dir.Path()) + " && ls -A").output, "big.dat\ndisc.bin\ndisc.cue\ndisc.cue.tmp\nerr\n");
  struct stat st {};
  ASSERT_EQ(stat((dir / "disc.cue").c_str(), &st), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(ToolContract, AnyFolderDepthWorksOrEndsWithExitFour) {
  ScratchDir dir;
  WriteFile(dir / "a.txt", PatternBytes(10, 5));
  std::string deep = "a";
  for (int i = 1; i < 30000; ++i) deep += "\\a";
  // ASCII names have no depth limit: 30,000 levels are written.
  const ToolResult ascii = RunTool({"-o", dir / "deep", "-d", deep, "-f", dir / "a.txt"});
  ASSERT_EQ(ascii.exitCode, 0) << ascii.err.substr(0, 2000);
  // The L path table: the root, then each level the child of the one before.
  std::ifstream bin(dir / "deep.bin", std::ios::binary);
  auto userData = [&](std::uint32_t lba) {
    std::vector<std::uint8_t> data(2048);
    bin.seekg(std::streamoff{lba} * 2352 + 24);
    bin.read(reinterpret_cast<char*>(data.data()), 2048);
    return data;
  };
  const std::vector<std::uint8_t> pvd = userData(16);
  const std::uint32_t tableBytes = pvd[132] | pvd[133] << 8 | pvd[134] << 16;
  const std::uint32_t tableLba = pvd[140] | pvd[141] << 8 | pvd[142] << 16;
  std::vector<std::uint8_t> table;
  for (std::uint32_t i = 0; i * 2048 < tableBytes; ++i) {
    const std::vector<std::uint8_t> block = userData(tableLba + i);
    table.insert(table.end(), block.begin(), block.end());
  }
  ASSERT_TRUE(bin.good());
  std::uint32_t records = 0;
  for (std::size_t at = 0; at < tableBytes; ++records) {
    const std::uint16_t parent = static_cast<std::uint16_t>(table[at + 6] | table[at + 7] << 8);
    ASSERT_EQ(parent, records == 0 ? 1 : records) << "record " << records + 1;
    at += 8 + table[at] + table[at] % 2;
  }
  EXPECT_EQ(records, 30001u);
  // Levels 1 and 2 allow 8 levels: refused, not crashed.
  const ToolResult level1 = RunTool({"-o", dir / "deep1", "-isolevel1", "-d", deep, "-f", dir / "a.txt"});
  EXPECT_EQ(level1.exitCode, 4) << level1.err.substr(0, 2000);
  EXPECT_NE(level1.err.find("at most 8 folder levels"), std::string::npos);
}
