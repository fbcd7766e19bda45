// The line under "Real Path Of Files" that says what the image will be: its
// exact size in sectors, megabytes and playing time, and the smallest CD it
// fits (or how much longer it is than the largest). 75 sectors make a second;
// a megabyte is 1,000,000 bytes of the .bin (2352 bytes a sector).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/DiscGeometry.h"

struct CdSize {
  int minutes;            // the name it goes by
  std::uint64_t sectors;  // what it holds
};
// 74, 80, 90 and 99 minutes; a "99-min" CD holds up to 99:59:74 less the
// 150-sector pre-gap, the most the tool lays out.
inline constexpr CdSize CD_SIZES[] = {{74, 74 * disc::SECTORS_PER_MINUTE},
                                      {80, 80 * disc::SECTORS_PER_MINUTE},
                                      {90, 90 * disc::SECTORS_PER_MINUTE},
                                      {99, disc::MAX_IMAGE_SECTORS}};

// "29.0": bytes in megabytes with one decimal, rounded to the nearest tenth.
std::string MegabytesText(std::uint64_t bytes);
// "02:44": minutes (two digits at least) and seconds.
std::string MinutesSecondsText(std::uint64_t seconds);

// "Image: 12345 sectors, 29.0 MB, 02:44 - fits a 74-min CD", or, past the
// largest size, "... - 02:15 longer than a 99-min CD"; with names that change
// " - N names change" follows ("1 name changes").
std::string ImageSizeLine(std::uint64_t sectors, std::size_t namesChanged);

// "Image: " and why the layout cannot be laid out.
std::string ImageProblemLine(const std::string& message);
