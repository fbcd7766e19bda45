#include "app/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/PosixFile.h"

bool WriteFileWhole(const std::string& path, std::string_view content, std::string* error) {
  WholeWriteError failure;
  if (WriteWhole(path, content, &failure)) return true;
  if (error) {
    const std::string step = failure.step;
    const std::string what = step == "create"  ? "cannot create a temporary file beside " + path
                             : step == "close" ? "cannot close " + failure.path
                             : step == "replace" ? "cannot replace " + path
                                                 : "cannot write " + failure.path;
    *error = what + ": " + std::strerror(failure.error);
  }
  return false;
}

namespace {

// Opened without waiting: a FIFO opened for reading would wait for a writer
// (and the window with it). A regular file is not affected.
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

bool ReadFileWhole(const std::string& path, std::string& content) {
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  std::string bytes;
  std::string chunk(64 * 1024, '\0');
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got > 0) {
      bytes.append(chunk.data(), static_cast<std::size_t>(got));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      ok = got == 0;  // the end; EAGAIN (a FIFO with no data) or an error fails
      break;
    }
  }
  ::close(fd);
  if (!ok) return false;
  content = std::move(bytes);
  return true;
}

bool FileIsReadable(const std::string& path) {
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
