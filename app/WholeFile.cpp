#include "app/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
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

bool ReadFileWhole(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  content = std::move(bytes);
  return true;
}

bool FileIsReadable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}
