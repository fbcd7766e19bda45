#include "tool/CueSheet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

namespace {

// A temporary file of a unique name beside `path` (an existing file of any
// name is never touched), with the mode a new file gets from the umask.
int createTemporaryBeside(const std::string& path, std::string& temporary) {
  const std::size_t slash = path.rfind('/');
  temporary = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".cue-XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  const mode_t mask = ::umask(0);  // the tool has no other thread by now
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

Status writeCueSheet(const std::string& path, const std::string& text) {
  std::string temporary;
  const int fd = createTemporaryBeside(path, temporary);
  if (fd < 0) return outputError("Cannot write " + path + ": " + std::strerror(errno));
  Status s = writeAll(fd, text, temporary);
  if (!s && ::fsync(fd) != 0) s = outputError("Cannot write " + temporary + ": " + std::strerror(errno));
  if (::close(fd) != 0 && !s) s = outputError("Cannot write " + temporary + ": " + std::strerror(errno));
  if (!s && std::rename(temporary.c_str(), path.c_str()) != 0)
    s = outputError("Cannot write " + path + ": " + std::strerror(errno));
  if (s) ::unlink(temporary.c_str());
  return s;
}
