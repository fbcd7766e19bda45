#include "common/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "common/PosixFile.h"

namespace {

// The name a write through path means: a symbolic link is followed to its
// target (a chain to its end, a relative target taken from the link's
// folder), so that the target is replaced and the link stays, as editors do.
// A link to something that is not a regular file (a device, a folder) or a
// chain that does not end is not followed: the link itself is replaced.
std::string WrittenName(const std::string& path) {
  constexpr int MAX_LINKS = 40;  // as the kernel's own limit on a look-up
  std::string name = path;
  for (int hops = 0; hops < MAX_LINKS; ++hops) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0) return hops == 0 ? path : name;  // a new file
    if (!S_ISLNK(st.st_mode)) return S_ISREG(st.st_mode) ? name : path;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(name.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return path;
    target.resize(static_cast<std::size_t>(length));
    const std::size_t slash = name.find_last_of('/');
    name = target.front() == '/' || slash == std::string::npos
               ? target
               : name.substr(0, slash + 1) + target;
  }
  return path;
}

}  // namespace

bool WriteFileWhole(const std::string& path, std::string_view content, std::string* error) {
  WholeWriteError failure;
  if (WriteWhole(WrittenName(path), content, &failure)) return true;
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

// Reads from fd until the end or until more than limit bytes came. 0 at the
// end, 1 when there was more, -1 on an error (EAGAIN from an empty FIFO too).
int ReadUpTo(int fd, std::uint64_t limit, std::string& bytes) {
  std::string chunk(64 * 1024, '\0');
  for (;;) {
    const std::uint64_t room = limit + 1 - bytes.size();
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), room));
    const ssize_t got = ::read(fd, chunk.data(), want);
    if (got > 0) {
      bytes.append(chunk.data(), static_cast<std::size_t>(got));
      if (bytes.size() > limit) return 1;
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      return got == 0 ? 0 : -1;
    }
  }
}

}  // namespace

bool ReadFileWhole(const std::string& path, std::string& content) {
  OwnedFd fd(OpenForReading(path));
  if (!fd.Valid()) return false;
  std::string bytes;
  if (ReadUpTo(fd.Get(), std::numeric_limits<std::uint64_t>::max() - 1, bytes) != 0) return false;
  content = std::move(bytes);
  return true;
}

bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& content) {
  OwnedFd fd(OpenForReading(path));
  if (!fd.Valid()) return false;
  std::string bytes;
  if (maxBytes > 0 && ReadUpTo(fd.Get(), maxBytes - 1, bytes) < 0) return false;
  content = std::move(bytes);
  return true;
}

bool ReadRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& content,
                     std::string* error) {
  auto fail = [error](std::string cause) {
    if (error) *error = std::move(cause);
    return false;
  };
  OwnedFd fd(OpenForReading(path));
  if (!fd.Valid()) return fail(std::strerror(errno));
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail("not a regular file");
  const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return fail(tooLarge);
  // The size is checked again while reading: the file may grow meanwhile.
  std::string bytes;
  const int read = ReadUpTo(fd.Get(), maxBytes, bytes);
  if (read < 0) return fail(std::strerror(errno));
  if (read > 0) return fail(tooLarge);
  content = std::move(bytes);
  return true;
}

bool FileIsReadable(const std::string& path) {
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
