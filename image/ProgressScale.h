// The progress bar's range is an int: a 64-bit size total is shifted right
// until it fits, and every position is shifted the same way.
#pragma once

#include <cstdint>

struct ProgressScale {
  int range = 0;   // the bar's upper end
  int shift = 0;   // sizes are divided by 2^shift

  static ProgressScale For(std::int64_t totalBytes);
  // The bar position for an image of size bytes: full once it passes the total.
  int PositionFor(std::int64_t bytes) const;
};
