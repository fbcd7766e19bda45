// Plain POSIX file handling shared by the program and the tool: a descriptor
// that closes itself, a write that writes everything, a file written whole
// (a uniquely named temporary file beside it, fsync, rename), and a path's
// base name. Errors are errno values, for the caller to word.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An open descriptor, closed when the owner goes (unless Close was called).
class OwnedFd {
 public:
  OwnedFd() = default;
  explicit OwnedFd(int fd) : m_fd(fd) {}
  OwnedFd(OwnedFd&& other) noexcept : m_fd(other.Release()) {}
  OwnedFd& operator=(OwnedFd&& other) noexcept;
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  ~OwnedFd();

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  int Release();
  // Closes now; 0, or the errno of a close that failed.
  int Close();

 private:
  int m_fd = -1;
};

// Writes all size bytes, going on after short writes and interruptions.
// 0, or the errno of the failure (ENOSPC for a write that wrote nothing).
int WriteAll(int fd, const void* data, std::size_t size);

// What WriteWhole did when it failed: the errno and the path it concerns.
struct WholeWriteError {
  int error = 0;
  std::string path;
  std::string step;  // "create", "write", "close" or "replace"
};

// Writes content to path whole: a temporary file with a short unique name in
// the same folder (so that a target name of any allowed length still leaves
// room for it), every write checked, fsync, then a rename over the target.
// The new file takes the old file's permissions, or 0666 less the umask. On
// failure any previous file is untouched, the temporary file is removed, and
// false is returned with *failure filled in.
bool WriteWhole(const std::string& path, std::string_view content,
                WholeWriteError* failure = nullptr);

// The last component of a path, closing '/'s left out: what follows the last
// '/' (the whole path when it has none; empty for the root).
std::string BaseName(const std::string& path);
