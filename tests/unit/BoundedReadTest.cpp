// gui.ini, a structure file and the tool's argument file that link to
// /dev/zero or are 8 GB long: the reads stop at what can be used, in a process
// whose address space prlimit bounds to 256 MiB (a read without a bound would
// end it instead).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/StructureFile.h"

namespace fs = std::filesystem;

namespace {

class BoundedReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("brenvox-bounded-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // A file of size bytes that takes no room on disk, beginning with head.
  std::string Sparse(const std::string& name, const std::string& head, std::uint64_t size) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << head;
    fs::resize_file(path, size);
    return path;
  }
  // What the probe printed, and how it ended, reading path as what.
  std::string Probe(const std::string& what, const std::string& path) {
    const std::string command = "prlimit --as=268435456 '" READ_PROBE "' " + what + " '" + path +
                                "' 2>&1; echo \"status $?\"";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return "cannot run";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
  }
  fs::path dir;
};

constexpr std::uint64_t EIGHT_GB = 8ull << 30;

TEST_F(BoundedReadTest, GuiIniIsReadOnlyAsFarAsItsTwoLinesGo) {
  fs::create_symlink("/dev/zero", dir / "zero.ini");
  // 1001 characters without a line feed: the default target, no numbers.
  EXPECT_EQ(Probe("settings", (dir / "zero.ini").string()), "target 12 checks -1\nstatus 0\n");
  EXPECT_EQ(Probe("settings", Sparse("huge.ini", "", EIGHT_GB)), "target 12 checks -1\nstatus 0\n");
  EXPECT_EQ(Probe("settings", Sparse("long.ini", "/t\r\n1 0 1", EIGHT_GB)),
            "target 2 checks 2\nstatus 0\n")
      << "what the lines hold is still read";
}

TEST_F(BoundedReadTest, LoadAndTheToolsArgumentFileRefuseADeviceAFifoAndAFileLargerThanALayout) {
  fs::create_symlink("/dev/zero", dir / "zero.kbv");
  const std::string fifo = (dir / "pipe.kbv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir / "folder.kbv");
  for (const std::string& path :
       {(dir / "zero.kbv").string(), fifo, (dir / "folder.kbv").string(), Sparse("huge.kbv", "-d \"A\"", EIGHT_GB),
        Sparse("over.kbv", "-d \"A\"", MAX_STRUCTURE_FILE_BYTES + 1)}) {
    EXPECT_EQ(Probe("layout", path), "refused\nstatus 0\n") << path;
    EXPECT_EQ(Probe("arguments", path), "refused\nstatus 0\n") << path;
  }
  EXPECT_EQ(Probe("layout", Sparse("small.kbv", "-d \"A\"", 4096)), "read 4096\nstatus 0\n");
  EXPECT_EQ(Probe("arguments", Sparse("args.kbv", "-o \"x\"", 4096)), "read\nstatus 0\n");
}

}  // namespace
