#include "app/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

void SetError(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}

// The mode a new file gets: the old file's mode, or 0666 less the umask.
mode_t ModeFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool WriteFileWhole(const std::string& path, std::string_view content, std::string* error) {
  std::string templ = path + ".XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    SetError(error, "cannot create a temporary file beside " + path);
    return false;
  }
  const std::string tempPath(name.data());
  bool ok = ::fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  if (!ok) SetError(error, "cannot write " + tempPath);
  if (::close(fd) != 0 && ok) {
    ok = false;
    SetError(error, "cannot close " + tempPath);
  }
  if (ok && ::rename(tempPath.c_str(), path.c_str()) != 0) {
    ok = false;
    SetError(error, "cannot replace " + path);
  }
  if (!ok) ::unlink(tempPath.c_str());
  return ok;
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
