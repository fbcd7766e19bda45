#include "tool/CueSheet.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tool/SectorCode.h"

namespace {

std::string twoDigits(std::uint32_t v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); }

std::string cueTime(std::uint32_t sectors) {
  const std::uint32_t perSecond = sector::kSectorsPerSecond;
  return twoDigits(sectors / (60 * perSecond)) + ":" + twoDigits(sectors / perSecond % 60) + ":" +
         twoDigits(sectors % perSecond);
}

Status writeAll(int fd, const std::string& text, const std::string& path) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return outputError("Cannot write " + path + ": " + std::strerror(n < 0 ? errno : ENOSPC));
    done += static_cast<std::size_t>(n);
  }
  return std::nullopt;
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
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return outputError("Cannot write " + temporary + ": " + std::strerror(errno));
  Status s = writeAll(fd, text, temporary);
  if (::close(fd) != 0 && !s) s = outputError("Cannot write " + temporary + ": " + std::strerror(errno));
  if (!s && std::rename(temporary.c_str(), path.c_str()) != 0)
    s = outputError("Cannot write " + path + ": " + std::strerror(errno));
  if (s) ::unlink(temporary.c_str());
  return s;
}
