#include "tool/CueSheet.h"

#include <cstring>

#include "common/PosixFile.h"

#include "tool/SectorCode.h"

namespace {

std::string TwoDigits(std::uint32_t v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); }

std::string CueTime(std::uint32_t sectors) {
  const std::uint32_t perSecond = sector::SECTORS_PER_SECOND;
  return TwoDigits(sectors / (60 * perSecond)) + ":" + TwoDigits(sectors / perSecond % 60) + ":" +
         TwoDigits(sectors % perSecond);
}

}  // namespace

std::string CueSheetText(const std::string& binFileName, const ImagePlan& plan) {
  std::string text = "FILE \"" + binFileName + "\" BINARY\n";
  for (const TrackMark& track : plan.tracks) {
    text += "  TRACK " + TwoDigits(static_cast<std::uint32_t>(track.number)) + " MODE2/2352\n";
    if (track.index00) text += "    INDEX 00 " + CueTime(*track.index00) + "\n";
    text += "    INDEX 01 " + CueTime(track.index01) + "\n";
  }
  return text;
}

Status WriteCueSheet(const std::string& path, const std::string& text) {
  WholeWriteError failure;
  if (WriteWhole(path, text, &failure)) return std::nullopt;
  return OutputError("Cannot write " + failure.path + ": " + std::strerror(failure.error));
}
