#include "image/DiscFit.h"

#include <iterator>

namespace {

std::string TwoDigits(std::uint64_t v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string MegabytesText(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes + 50'000) / 100'000;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string MinutesSecondsText(std::uint64_t seconds) {
  return TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

std::string ImageSizeLine(std::uint64_t sectors, std::size_t namesChanged) {
  std::string line = "Image: " + std::to_string(sectors) + " sectors, " +
                     MegabytesText(sectors * disc::SECTOR_SIZE) + " MB, " +
                     MinutesSecondsText(sectors / disc::SECTORS_PER_SECOND) + " - ";
  const CdSize* fit = nullptr;
  for (const CdSize& cd : CD_SIZES)
    if (sectors <= cd.sectors) {
      fit = &cd;
      break;
    }
  if (fit) {
    line += "fits a " + std::to_string(fit->minutes) + "-min CD";
  } else {
    // Rounded up: one sector too many reads "00:01 longer", never "00:00".
    const CdSize& largest = CD_SIZES[std::size(CD_SIZES) - 1];
    const std::uint64_t over = sectors - largest.sectors;
    line += MinutesSecondsText((over + disc::SECTORS_PER_SECOND - 1) / disc::SECTORS_PER_SECOND) + " longer than a " +
            std::to_string(largest.minutes) + "-min CD";
  }
  if (namesChanged > 0)
    line += " - " + std::to_string(namesChanged) + (namesChanged == 1 ? " name changes" : " names change");
  return line;
}

std::string ImageProblemLine(const std::string& message) { return "Image: " + message; }
