// Plain POSIX file handling shared by the program and the tool: a descriptor
// that closes itself, a write that writes everything, a bounded read of a
// regular file, a file written whole (a uniquely named temporary file beside
// it, fsync, rename, fsync of the folder), and a path's base name. Errors are
// errno values, for the caller to word.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
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

// Reads from fd until its end or until more than limit bytes came, appending
// to bytes. 0 at the end, 1 when there was more, -1 on an error (in errno;
// EAGAIN from an empty FIFO opened without waiting too).
int ReadUpTo(int fd, std::uint64_t limit, std::string& bytes);

// What a bounded read of a regular file came to.
enum class RegularRead { Read, CannotOpen, NotRegularFile, TooLarge, CannotRead };

// Reads path whole when what it opens is a regular file of at most maxBytes:
// the kind and the size are those of the opened descriptor (so "/dev/fd/N"
// counts as the file it stands for), and the size is checked again while
// reading, as the file may grow. Opened without waiting: a FIFO fails at
// once. On anything but Read, content is untouched; *error holds the errno
// of a failed open or read.
RegularRead ReadRegularFileWhole(const std::string& path, std::uint64_t maxBytes,
                                 std::string& content, int* error = nullptr);

// What WriteWhole did when it failed: the errno and the path it concerns.
struct WholeWriteError {
  int error = 0;
  std::string path;
  std::string step;  // "create", "write", "close", "replace" or "sync folder"
};

// The calls that make a write whole durable, in one place so that a test can
// see them made, and in which order.
struct DurableCalls {
  int (*sync)(int fd);                          // fsync
  int (*rename)(const char* from, const char* to);
};
const DurableCalls& SystemDurableCalls();

// The mode a file written whole gets: an existing regular file keeps its own;
// anything else (no file, or a link to a device, a FIFO, a folder) counts as
// new and gets 0666 less the umask, read once when the program starts (a
// thread may create files while another writes one).
mode_t WholeFileMode(const std::string& path);

// Writes content to path whole: a temporary file with a short unique name in
// the same folder (so that a target name of any allowed length still leaves
// room for it), with the mode WholeFileMode gives, every write checked, fsync,
// a rename over the target, then an fsync of the folder, so that a crash at
// any moment leaves the old file or the new one. On failure before the rename
// any previous file is untouched, the temporary file is removed, and false is
// returned with *failure filled in.
bool WriteWhole(const std::string& path, std::string_view content,
                WholeWriteError* failure = nullptr,
                const DurableCalls& calls = SystemDurableCalls());

// The last component of a path, closing '/'s left out: what follows the last
// '/' (the whole path when it has none; empty for the root).
std::string BaseName(const std::string& path);
