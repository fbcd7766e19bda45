// Write ISO with the real brenvox.exe and the largest layout the window holds:
// cd-info lists the image. Every layout's image against the readers: tests/tool.
#include <stdlib.h>

#include <fstream>

#include "RunSupport.h"

namespace fs = std::filesystem;

namespace {

using EndToEndImageTest = RunTest;

// 49,999 items: a folder with 49 folders of 1,019 files and 18 files of its
// own. Their arguments pass the system's limit, so they reach the tool through
// a file (the stand-in records the first argument).
TEST_F(EndToEndImageTest, TheLargestLayoutTheWindowHoldsIsWritten) {
  WriteTool("#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/first\"\nexec '" + RealToolPath() + "' \"$@\"\n");
  // On a disk, making and removing 50,000 files takes longer than all the
  // rest: they are made in memory where the system has a folder for it.
  std::string memory = "/dev/shm/brenvox-test-XXXXXX";
  const bool inMemory = ::mkdtemp(memory.data()) != nullptr;
  const struct Removal {
    std::string path;
    ~Removal() { std::error_code ignored; if (!path.empty()) fs::remove_all(path, ignored); }
  } removal{inMemory ? memory : ""};
  const std::string top = inMemory ? memory + "/big" : MakeDir("big");
  fs::create_directories(top);
  for (int d = 0; d < 49; ++d) {
    const std::string folder = top + "/folder" + std::to_string(d);
    fs::create_directory(folder);
    for (int f = 0; f < 1019; ++f) std::ofstream(folder + "/file" + std::to_string(f) + ".txt");
  }
  for (int f = 0; f < 18; ++f) std::ofstream(top + "/top" + std::to_string(f) + ".txt") << std::string(f < 3 ? 3000 : 0, 't');
  InsertPath(Tree(), top, wxTreeItemId());
  ASSERT_EQ(Tree().NextIndex(), 50000) << "49,999 items";
  WriteImage(120000);
  EXPECT_EQ(ReadFile(startupDir + "/first").rfind("@/dev/fd/", 0), 0u) << "the arguments fitted: no test of the file";

  int status = -1;
  const std::string listing = CommandOutput("cd-info --no-header --no-device-info --cue-file '" + image +
                                                ".cue' --iso9660 2>&1", &status);
  EXPECT_EQ(status, 0) << listing.substr(0, 4000);
  std::size_t files = 0;
  for (std::size_t at = listing.find("----1xrxrxr"); at != std::string::npos; at = listing.find("----1xrxrxr", at + 1)) ++files;
  EXPECT_EQ(files, 49u * 1019u + 18u);
  EXPECT_NE(listing.find("/big/folder48/:"), std::string::npos);
  EXPECT_NE(listing.find("file1018.txt"), std::string::npos);
}

}  // namespace
