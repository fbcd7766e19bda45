// Progress on stdout: one line "NN%" for every whole percent of the planned
// sectors that has reached the image file, flushed at once so that a reader
// of the pipe sees it live.
#pragma once

#include <cstdint>
#include <cstdio>

class ProgressReport {
 public:
  ProgressReport(std::FILE* out, std::uint32_t totalSectors) : m_out(out), m_total(totalSectors) {}
  void Update(std::uint32_t sectorsDone);

 private:
  std::FILE* m_out;
  std::uint32_t m_total;
  int m_shown = 0;
};
