#include "common/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
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
                             : step == "sync folder" ? "cannot sync the folder of " + path
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
  int cause = 0;
  const RegularRead result = ReadRegularFileWhole(path, maxBytes, content, &cause);
  if (result == RegularRead::Read) return true;
  if (error) {
    if (result == RegularRead::NotRegularFile) {
      *error = "not a regular file";
    } else if (result == RegularRead::TooLarge) {
      *error = "larger than " + std::to_string(maxBytes) + " bytes";
    } else {
      *error = std::strerror(cause);
    }
  }
  return false;
}

bool NameIsTaken(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

bool FileIsReadable(const std::string& path) {
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
