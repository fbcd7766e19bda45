#include "tool/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

namespace {

Status CannotWrite(const std::string& path, const std::string& cause) {
  return OutputError("Cannot write " + path + ": " + cause);
}

// Whether a new file at path would stand in for the one opened: the name is
// that file's only name (no symbolic link to it, no other hard link) and it
// belongs to whoever runs the tool.
bool NewFileCanStandIn(const std::string& path, const struct stat& opened) {
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
  return named.st_dev == opened.st_dev && named.st_ino == opened.st_ino && named.st_nlink == 1 &&
         named.st_uid == ::geteuid();
}

// "dir/name" -> "dir/.brenvox-XXXXXX": a temporary name in the same folder.
std::vector<char> TemporaryName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = folder + ".brenvox-XXXXXX";
  std::vector<char> out(name.begin(), name.end());
  out.push_back('\0');
  return out;
}

}  // namespace

ImageFile::~ImageFile() {
  if (m_releasing.joinable()) m_releasing.join();
}

Status ImageFile::Open(const std::string& path) {
  m_path = path;
  // O_NONBLOCK: a FIFO of that name (no image) must not hold the run.
  OwnedFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!fd.Valid()) return CannotWrite(path, std::strerror(errno));
  if (::fstat(fd.Get(), &m_opened) != 0 || !S_ISREG(m_opened.st_mode)) return CannotWrite(path, "it is not a regular file");
  m_fd = std::move(fd);
  return std::nullopt;
}

Status ImageFile::Empty() {
  const bool old = m_opened.st_size > 0;
  if (old && NewFileCanStandIn(m_path, m_opened) && Replace(m_path, m_opened)) return std::nullopt;
  if ((old && ::ftruncate(m_fd.Get(), 0) != 0) || ::fcntl(m_fd.Get(), F_SETFL, 0) != 0) {
    m_fd.Close();
    return CannotWrite(m_path, std::strerror(errno));
  }
  return std::nullopt;
}

bool ImageFile::Replace(const std::string& path, const struct stat& old) {
  std::vector<char> name = TemporaryName(path);
  OwnedFd fresh(::mkostemp(name.data(), O_CLOEXEC));
  if (!fresh.Valid()) return false;
  // The old file's group (when the runner may give it) and permissions.
  struct stat made {};
  const bool alike = ::fstat(fresh.Get(), &made) == 0 &&
                     (made.st_gid == old.st_gid || ::fchown(fresh.Get(), static_cast<uid_t>(-1), old.st_gid) == 0) &&
                     ::fchmod(fresh.Get(), old.st_mode & 07777) == 0;
  if (!alike || ::rename(name.data(), path.c_str()) != 0) {
    ::unlink(name.data());
    return false;
  }
  LetGo(std::exchange(m_fd, std::move(fresh)));
  return true;
}

// The old image has no name any more; its blocks are freed when its last
// descriptor closes, which is done off the writing thread.
void ImageFile::LetGo(OwnedFd old) {
  const int fd = old.Get();
  try {
    m_releasing = std::thread([fd] { ::close(fd); });
    old.Release();
  } catch (const std::system_error&) {
    // No thread: old closes it here.
  }
}

Status ImageFile::Close() {
  if (m_releasing.joinable()) m_releasing.join();
  if (const int error = m_fd.Close()) return CannotWrite(m_path, std::strerror(error));
  return std::nullopt;
}
