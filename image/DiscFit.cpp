#include "image/DiscFit.h"

#include <iterator>

#include "common/Translate.h"

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
  const std::string size = TranslatedPlural(
      static_cast<unsigned long>(sectors), "Image: %llu sector, %s MB, %s", "Image: %llu sectors, %s MB, %s",
      static_cast<unsigned long long>(sectors), MegabytesText(sectors * disc::SECTOR_SIZE).c_str(),
      MinutesSecondsText(sectors / disc::SECTORS_PER_SECOND).c_str());
  std::string line;
  const CdSize* fit = nullptr;
  for (const CdSize& cd : CD_SIZES)
    if (sectors <= cd.sectors) {
      fit = &cd;
      break;
    }
  if (fit) {
    line = TranslatedFormat("%s - fits a %d-min CD", size.c_str(), fit->minutes);
  } else {
    // Rounded up: one sector too many reads "00:01 longer", never "00:00".
    const CdSize& largest = CD_SIZES[std::size(CD_SIZES) - 1];
    const std::uint64_t over = sectors - largest.sectors;
    const std::string longer = MinutesSecondsText((over + disc::SECTORS_PER_SECOND - 1) / disc::SECTORS_PER_SECOND);
    line = TranslatedFormat("%s - %s longer than a %d-min CD", size.c_str(), longer.c_str(), largest.minutes);
  }
  if (namesChanged > 0)
    line = TranslatedPlural(static_cast<unsigned long>(namesChanged), "%s - %zu name changes", "%s - %zu names change",
                            line.c_str(), namesChanged);
  return line;
}

std::string ImageProblemLine(const std::string& message) { return TranslatedFormat("Image: %s", message.c_str()); }
