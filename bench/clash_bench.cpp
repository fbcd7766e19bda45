// How long the tool takes to lay out names that clash: 49,999 files all named
// f.txt in one folder (ASCII names), and 49,999 files recording_NNNNN.wav
// under -isolevel1, where every name maps to RECORDIN.WAV. The target for
// each is under 2 s; run it in a Release build:
//   cmake --build build --target clash_bench && build/bin/clash_bench
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tool/ImageLayout.h"
#include "tool/ImageTree.h"

namespace fs = std::filesystem;

namespace {

constexpr int ITEMS = 49999;

void quiet(const std::string&) {}

// Seconds for tree, names and sector layout of the entries.
double layOut(const ToolOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  ImageNode root;
  ImagePlan plan;
  if (Status s = BuildImageTree(options, root)) {
    std::fprintf(stderr, "%s\n", s->message.c_str());
    return -1;
  }
  NameAndSortTree(options, root, quiet);
  if (Status s = LayOutImage(options, root, plan)) {
    std::fprintf(stderr, "%s\n", s->message.c_str());
    return -1;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / ("brenvox-clash-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "f.txt") << "x";
  ToolOptions same;
  same.target = (dir / "disc").string();
  for (int i = 0; i < ITEMS; ++i) same.entries.push_back({EntryKind::Form1File, (dir / "f.txt").string()});

  ToolOptions level1;
  level1.target = same.target;
  level1.isoLevel = IsoLevel::Level1;
  char name[64];
  for (int i = 0; i < ITEMS; ++i) {
    std::snprintf(name, sizeof name, "recording_%05d.wav", i);
    std::ofstream(dir / name);
    level1.entries.push_back({EntryKind::Form1File, (dir / name).string()});
  }

  const double sameSeconds = layOut(same);
  const double level1Seconds = layOut(level1);
  std::printf("%d clashing names (f.txt) in one folder:         %.3f s  (target < 2 s)\n", ITEMS, sameSeconds);
  std::printf("%d level-1 names (recording_NNNNN.wav):          %.3f s  (target < 2 s)\n", ITEMS, level1Seconds);
  fs::remove_all(dir);
  return sameSeconds >= 0 && level1Seconds >= 0 ? 0 : 1;
}
