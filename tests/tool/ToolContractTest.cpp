// What the front-end and its users rely on: exit statuses with their messages,
// an image file that grows while the tool works, inputs that change under it,
// reproducible dates, the progress lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "ToolTestSupport.h"
#include "XaImageReader.h"

namespace {

std::uint64_t fileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::vector<std::string> nestedFolders(int depth) {
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
  writeFile(dir / "a.txt", patternBytes(100, 1));
  runCommand("mkdir " + shellQuote(dir / "folder"));
  { std::ofstream huge(dir / "huge.bin"); }
  ASSERT_EQ(truncate((dir / "huge.bin").c_str(), 950'000'000), 0);  // sparse: more than 99:59:74
  const std::string target = dir / "disc";
  auto with = [&](std::vector<std::string> tail) {
    std::vector<std::string> args = {"-o", target};
    args.insert(args.end(), tail.begin(), tail.end());
    return args;
  };
  writeFile(dir / "tiny.mpg", patternBytes(3, 9));
  std::vector<std::string> tracks100 = with({});  // 99 Form 2 tracks after the data track
  for (int i = 0; i < 99; ++i) tracks100.insert(tracks100.end(), {"-m", dir / "tiny.mpg"});
  std::vector<std::string> deep1 = with({"-isolevel1"}), deep2 = with({"-isolevel2"}), deepAscii = with({});
  for (auto* args : {&deep1, &deep2, &deepAscii}) {
    auto folders = nestedFolders(args == &deep2 ? 7 : 8);
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
    const ToolResult r = runTool(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(fileExists(target + ".cue"), c.exitCode == 0) << c.what;
    if (c.exitCode == 1 || c.exitCode == 2 || c.exitCode == 4) {
      EXPECT_FALSE(fileExists(target + ".bin")) << c.what;  // refused before writing
    }
  }
}

TEST(ToolContract, ImageThatCannotBeWrittenWholeStaysPartialWithoutCue) {
  ScratchDir dir;
  writeFile(dir / "big.dat", patternBytes(4'000'000, 6));
  // A file size limit of 1 MB: the writes beyond it fail with EFBIG.
  const CommandResult r = runCommand("trap '' XFSZ; ulimit -f 1024; " + shellQuote(toolPath()) + " -o " +
                                     shellQuote(dir / "disc") + " -f " + shellQuote(dir / "big.dat"));
  EXPECT_EQ(r.exitCode, 3) << r.output;
  EXPECT_NE(r.output.find("Cannot write " + dir / "disc.bin" + ": File too large"), std::string::npos) << r.output;
  EXPECT_TRUE(fileExists(dir / "disc.bin"));
  EXPECT_FALSE(fileExists(dir / "disc.cue"));
}

TEST(ToolContract, FinishesTheImageWhenNobodyReadsItsOutput) {
  ScratchDir dir;
  writeFile(dir / "a.dat", patternBytes(3'000'000, 8));
  const std::string line = "( " + shellQuote(toolPath()) + " -o " + shellQuote(dir / "disc") + " -f " +
                           shellQuote(dir / "a.dat") + "; echo $? > " + shellQuote(dir / "rc") + " ) | true";
  runCommand(line);
  EXPECT_EQ(readText(dir / "rc"), "0\n");
  EXPECT_TRUE(fileExists(dir / "disc.cue"));
}

TEST(ToolContract, RefusesToOverwriteItsOwnInput) {
  ScratchDir dir;
  for (const char* own : {"disc.bin", "disc.cue"}) {
    const std::vector<std::uint8_t> bytes = patternBytes(5000, 7);
    writeFile(dir / own, bytes);
    const ToolResult r = runTool({"-o", dir / "disc", "-f", dir / own});
    EXPECT_EQ(r.exitCode, 3) << own;
    EXPECT_NE(r.err.find("it is the input file " + dir / own), std::string::npos) << r.err;
    EXPECT_TRUE(readFile(dir / own) == bytes) << own << " was damaged";
    unlink((dir / own).c_str());
  }
}

constexpr std::uint64_t kFirstWrite = 1024 * 2352;  // the sink's first buffer

TEST(ToolContract, ImageGrowsWhileWrittenAndProgressCountsUp) {
  ScratchDir dir;
  writeFile(dir / "big.dat", patternBytes(10'000'000, 2));
  LiveTool tool({"-o", dir / "disc", "-f", dir / "big.dat"}, dir / "err", true);
  // Stopped at its first progress line, the tool has written its first buffer and no more.
  ASSERT_TRUE(waitFor([&] { return fileSize(dir / "disc.bin") >= kFirstWrite; }, 60)) << readText(dir / "err");
  const std::uint64_t during = fileSize(dir / "disc.bin");
  std::vector<std::string> lines;
  for (std::string line; tool.readLine(line);) lines.push_back(line);
  ASSERT_EQ(tool.wait(), 0) << readText(dir / "err");
  const std::uint64_t final = fileSize(dir / "disc.bin");
  EXPECT_EQ(during, kFirstWrite);
  EXPECT_GT(final, 4 * during);
  ASSERT_FALSE(lines.empty());
  EXPECT_LE(std::stoull(lines[0]) * final, during * 100) << "progress ran ahead of the file";
  // One line per whole percent, in order, then the image and its size.
  ASSERT_EQ(lines.size(), 101u);
  for (int p = 1; p <= 100; ++p) EXPECT_EQ(lines[p - 1], std::to_string(p) + "%");
  EXPECT_EQ(lines.back(), "Image " + dir / "disc.bin" + " written: " + std::to_string(final / 2352) + " sectors");
  EXPECT_EQ(readText(dir / "disc.cue"), "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n");
}

TEST(ToolContract, InputThatChangesSizeMeanwhileFailsAndLeavesNoCue) {
  for (const bool grow : {true, false}) {
    ScratchDir dir;
    writeFile(dir / "big.dat", patternBytes(10'000'000, 3));
    writeFile(dir / "late.txt", patternBytes(5000, 4));
    LiveTool tool({"-o", dir / "disc", "-f", dir / "big.dat", "-f", dir / "late.txt"}, dir / "err", true);
    // Stopped at its first progress line, the tool has read no more than its four buffers hold.
    ASSERT_TRUE(waitFor([&] { return fileSize(dir / "disc.bin") >= kFirstWrite; }, 60)) << readText(dir / "err");
    writeFile(dir / "late.txt", patternBytes(grow ? 6000 : 4000, 4));
    EXPECT_EQ(tool.wait(), 2) << (grow ? "grown" : "shrunk");
    EXPECT_NE(readText(dir / "err").find(dir / "late.txt: it changed size"), std::string::npos) << readText(dir / "err");
    EXPECT_TRUE(fileExists(dir / "disc.bin"));
    EXPECT_FALSE(fileExists(dir / "disc.cue"));
  }
}

TEST(ToolContract, SourceDateEpochMakesImagesReproducible) {
  ScratchDir dir;
  writeFile(dir / "a.txt", patternBytes(3000, 5));
  std::vector<std::string> images;
  for (const char* name : {"one", "two"}) {
    const std::string line = "SOURCE_DATE_EPOCH=1700000000 " + shellQuote(toolPath()) + " -o " + shellQuote(dir / name) +
                             " -f " + shellQuote(dir / "a.txt") + " > /dev/null";
    ASSERT_EQ(runCommand(line).exitCode, 0);
    images.push_back(readText(dir / (std::string(name) + ".bin")));
    sleep(images.size() == 1 ? 1 : 0);
  }
  EXPECT_TRUE(images[0] == images[1]);
  RawImage img;
  ASSERT_TRUE(loadRawImage(dir / "one.bin", img));
  const std::uint8_t* pvd = img.userData(16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 813), 16), "2023111422132000");
  EXPECT_EQ(readIsoView(img).volumeIdentifier, "CDROM" + std::string(27, ' '));
}
