#include "tool/Progress.h"

void ProgressReport::Update(std::uint32_t sectorsDone) {
  if (m_total == 0) return;
  const int percent = static_cast<int>(std::uint64_t{sectorsDone} * 100 / m_total);
  if (percent <= m_shown) return;
  while (m_shown < percent) std::fprintf(m_out, "%d%%\n", ++m_shown);
  std::fflush(m_out);
}
