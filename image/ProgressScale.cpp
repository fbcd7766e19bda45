#include "image/ProgressScale.h"

#include <limits>

ProgressScale ProgressScale::For(std::int64_t totalBytes) {
  ProgressScale scale;
  if (totalBytes < 0) totalBytes = 0;
  while ((totalBytes >> scale.shift) > std::numeric_limits<int>::max()) ++scale.shift;
  scale.range = static_cast<int>(totalBytes >> scale.shift);
  return scale;
}

int ProgressScale::PositionFor(std::int64_t bytes) const {
  if (bytes < 0) return 0;
  const std::int64_t scaled = bytes >> shift;
  return scaled >= range ? range : static_cast<int>(scaled);
}
