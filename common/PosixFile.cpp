#include "common/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

OwnedFd& OwnedFd::operator=(OwnedFd&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.Release();
  }
  return *this;
}

OwnedFd::~OwnedFd() { Close(); }

int OwnedFd::Release() {
  const int fd = m_fd;
  m_fd = -1;
  return fd;
}

int OwnedFd::Close() {
  if (m_fd < 0) return 0;
  const int result = ::close(Release());
  return result == 0 ? 0 : errno;
}

int WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

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

RegularRead ReadRegularFileWhole(const std::string& path, std::uint64_t maxBytes,
                                 std::string& content, int* error) {
  OwnedFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    if (error) *error = errno;
    return RegularRead::CannotOpen;
  }
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return RegularRead::NotRegularFile;
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return RegularRead::TooLarge;
  std::string bytes;
  const int end = ReadUpTo(fd.Get(), maxBytes, bytes);
  if (end < 0 && error) *error = errno;
  if (end != 0) return end > 0 ? RegularRead::TooLarge : RegularRead::CannotRead;
  content = std::move(bytes);
  return RegularRead::Read;
}

namespace {

// Read while the program starts, before any thread: umask can only be read by
// setting it, which must not race with a thread creating a file.
mode_t ReadUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}
const mode_t PROCESS_UMASK = ReadUmask();

// The folder part of path with its closing '/', or "" for a bare name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool Fail(WholeWriteError* failure, int error, const std::string& path, const char* step) {
  if (failure) *failure = WholeWriteError{error, path, step};
  return false;
}

// After a rename, the folder's new entry is on disk only once the folder is
// synced. 0, or the errno; a file system that cannot sync a folder (EINVAL)
// has nothing more to make durable.
int SyncFolderOf(const std::string& path, const DurableCalls& calls) {
  const std::string folder = FolderOf(path);
  OwnedFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return errno;
  if (calls.sync(fd.Get()) != 0 && errno != EINVAL) return errno;
  return fd.Close();
}

}  // namespace

const DurableCalls& SystemDurableCalls() {
  static const DurableCalls calls{::fsync, ::rename};
  return calls;
}

mode_t WholeFileMode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return 0666 & ~PROCESS_UMASK;
}

bool WriteWhole(const std::string& path, std::string_view content, WholeWriteError* failure,
                const DurableCalls& calls) {
  const std::string templ = FolderOf(path) + ".brenvox-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  OwnedFd fd(::mkstemp(name.data()));
  if (!fd.Valid()) return Fail(failure, errno, path, "create");
  const std::string tempPath(name.data());
  int error = 0;
  if (::fchmod(fd.Get(), WholeFileMode(path)) != 0) error = errno;
  if (error == 0) error = WriteAll(fd.Get(), content.data(), content.size());
  if (error == 0 && calls.sync(fd.Get()) != 0) error = errno;
  if (error != 0) {
    fd.Close();
    ::unlink(tempPath.c_str());
    return Fail(failure, error, tempPath, "write");
  }
  if ((error = fd.Close()) != 0) {
    ::unlink(tempPath.c_str());
    return Fail(failure, error, tempPath, "close");
  }
  if (calls.rename(tempPath.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(tempPath.c_str());
    return Fail(failure, error, path, "replace");
  }
  if ((error = SyncFolderOf(path, calls)) != 0) return Fail(failure, error, path, "sync folder");
  return true;
}

std::string BaseName(const std::string& path) {
  // Taken from the path in place: a run asks this of every input.
  std::size_t end = path.size();  // past the name, closing '/'s left out
  while (end > 1 && path[end - 1] == '/') --end;
  if (end == 0) return {};
  const std::size_t slash = path.rfind('/', end - 1);
  return slash == std::string::npos ? path.substr(0, end) : path.substr(slash + 1, end - slash - 1);
}
