// Progress on stdout: one line "NN%" for every whole percent of the planned
// sectors that has reached the image file, flushed at once so that a reader
// of the pipe sees it live.
#pragma once

#include <cstdint>
#include <cstdio>

class ProgressReport {
 public:
  ProgressReport(std::FILE* out, std::uint32_t totalSectors) : out_(out), total_(totalSectors) {}
  void Update(std::uint32_t sectorsDone);

 private:
  std::FILE* out_;
  std::uint32_t total_;
  int shown_ = 0;
};
