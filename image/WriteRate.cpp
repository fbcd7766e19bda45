#include "image/WriteRate.h"

#include <algorithm>
#include <cmath>
#include "common/Translate.h"

std::string WriteRate::Line(std::uint64_t writtenBytes, double nowSeconds) const {
  const std::uint64_t written = std::min(writtenBytes, m_total);
  const std::uint64_t percent = m_total == 0 ? 100 : written * 100 / m_total;
  const auto percentText = static_cast<unsigned long long>(percent);
  const std::string line = TranslatedFormat("Writing: %llu%%", percentText);
  const double elapsed = nowSeconds - m_start;
  if (written == 0 || elapsed <= 0) return line;
  const double bytesPerSecond = static_cast<double>(written) / elapsed;
  const auto megabytesPerSecond = static_cast<std::uint64_t>(std::llround(bytesPerSecond / 1e6));
  const auto secondsLeft = static_cast<std::uint64_t>(std::ceil(static_cast<double>(m_total - written) / bytesPerSecond));
  return TranslatedFormat("Writing: %llu%% - %llu MB/s - %llu s left", percentText,
                          static_cast<unsigned long long>(megabytesPerSecond), static_cast<unsigned long long>(secondsLeft));
}
