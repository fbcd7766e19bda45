#include "tool/CueSheet.h"

#include <cstring>

#include "common/PosixFile.h"

#include "tool/SectorCode.h"

namespace {

std::string twoDigits(std::uint32_t v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); }

std::string cueTime(std::uint32_t sectors) {
  const std::uint32_t perSecond = sector::kSectorsPerSecond;
  return twoDigits(sectors / (60 * perSecond)) + ":" + twoDigits(sectors / perSecond % 60) + ":" +
         twoDigits(sectors % perSecond);
}

}  // namespace

std::string cueSheetText(const std::string& binFileName, const ImagePlan& plan) {
  std::string text = "FILE \"" + binFileName + "\" BINARY\n";
  for (const TrackMark& track : plan.tracks) {
    text += "  TRACK " + twoDigits(static_cast<std::uint32_t>(track.number)) + " MODE2/2352\n";
    if (track.index00) text += "    INDEX 00 " + cueTime(*track.index00) + "\n";
    text += "    INDEX 01 " + cueTime(track.index01) + "\n";
  }
  return text;
}

Status writeCueSheet(const std::string& path, const std::string& text) {
  WholeWriteError failure;
  if (WriteWhole(path, text, &failure)) return std::nullopt;
  return outputError("Cannot write " + failure.path + ": " + std::strerror(failure.error));
}
