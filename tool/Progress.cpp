#include "tool/Progress.h"

void ProgressReport::Update(std::uint32_t sectorsDone) {
  if (total_ == 0) return;
  const int percent = static_cast<int>(std::uint64_t{sectorsDone} * 100 / total_);
  if (percent <= shown_) return;
  while (shown_ < percent) std::fprintf(out_, "%d%%\n", ++shown_);
  std::fflush(out_);
}
