#include "common/PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The mode a new file gets: the old file's mode, or 0666 less the umask.
mode_t ModeFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The folder part of path with its closing '/', or "" for a bare name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool Fail(WholeWriteError* failure, int error, const std::string& path, const char* step) {
  if (failure) *failure = WholeWriteError{error, path, step};
  return false;
}

}  // namespace

bool WriteWhole(const std::string& path, std::string_view content, WholeWriteError* failure) {
  const std::string templ = FolderOf(path) + ".brenvox-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  OwnedFd fd(::mkstemp(name.data()));
  if (!fd.Valid()) return Fail(failure, errno, path, "create");
  const std::string tempPath(name.data());
  int error = 0;
  if (::fchmod(fd.Get(), ModeFor(path)) != 0) error = errno;
  if (error == 0) error = WriteAll(fd.Get(), content.data(), content.size());
  if (error == 0 && ::fsync(fd.Get()) != 0) error = errno;
  if (error != 0) {
    fd.Close();
    ::unlink(tempPath.c_str());
    return Fail(failure, error, tempPath, "write");
  }
  if ((error = fd.Close()) != 0) {
    ::unlink(tempPath.c_str());
    return Fail(failure, error, tempPath, "close");
  }
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(tempPath.c_str());
    return Fail(failure, error, path, "replace");
  }
  return true;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}
