// Looking paths up and listing folders with POSIX calls: stat follows symbolic
// links, so a link counts as what it points to; anything that is neither a
// regular file nor a directory (FIFO, socket, device, broken link) is passed over.
#include "common/DiskEntry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>

namespace {

std::optional<DiskEntry> EntryFromStat(const struct stat& st) {
  DiskEntry entry;
  if (S_ISREG(st.st_mode)) {
    entry.kind = DiskKind::File;
  } else if (S_ISDIR(st.st_mode)) {
    entry.kind = DiskKind::Folder;
  } else {
    return std::nullopt;
  }
  entry.size = static_cast<std::uint64_t>(st.st_size);
  entry.device = static_cast<std::uint64_t>(st.st_dev);
  entry.inode = static_cast<std::uint64_t>(st.st_ino);
  return entry;
}

bool IsFileSystemRoot(const struct stat& st) {
  struct stat root;
  return stat("/", &root) == 0 && root.st_dev == st.st_dev && root.st_ino == st.st_ino;
}

// The kind of a listed entry, and a file's size. Files are looked up by name
// in the open folder (no walk of the folder's path); a folder is taken as the
// listing says. A symbolic link or an entry of a file system that does not
// fill d_type counts as what a look-up finds.
std::optional<ListedEntry> EntryOf(int folderFd, const dirent& ent) {
  ListedEntry listed{ent.d_name, DiskKind::File, std::nullopt};
  if (ent.d_type == DT_DIR) {
    listed.kind = DiskKind::Folder;
    return listed;
  }
  if (ent.d_type != DT_REG && ent.d_type != DT_LNK && ent.d_type != DT_UNKNOWN) return std::nullopt;
  struct stat st;
  if (fstatat(folderFd, ent.d_name, &st, 0) != 0) {
    // A file that the listing names stays a file, its size unknown.
    if (ent.d_type == DT_REG) return listed;
    return std::nullopt;
  }
  // The root holds every folder: a link to it leads back up the path
  // being listed, a loop, and is passed over as one.
  if (S_ISDIR(st.st_mode) && IsFileSystemRoot(st)) return std::nullopt;
  const std::optional<DiskEntry> entry = EntryFromStat(st);
  if (!entry) return std::nullopt;
  listed.kind = entry->kind;
  if (entry->kind == DiskKind::File) listed.size = entry->size;
  return listed;
}

// The look-ups of paths[begin, end) into sizes, in a row.
void LookUpRun(const std::vector<const std::string*>& paths, std::size_t begin, std::size_t end,
               std::vector<std::uint64_t>& sizes) {
  PathLookUps lookUp;
  for (std::size_t i = begin; i < end; ++i) {
    const std::optional<DiskEntry> found = lookUp(*paths[i]);
    sizes[i] = found && found->kind == DiskKind::File ? found->size : NOT_A_FILE;
  }
}

// Below this many paths a second thread costs more than it saves.
constexpr std::size_t SHARED_LOOK_UPS = 2048;

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::optional<DiskEntry> LookUpPath(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
  if (S_ISDIR(st.st_mode) && IsFileSystemRoot(st)) return std::nullopt;
  return EntryFromStat(st);
}

bool PathTooLong(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) != 0 && errno == ENAMETOOLONG;
}

PathLookUps::~PathLookUps() {
  if (m_fd >= 0) close(m_fd);
}

std::optional<DiskEntry> PathLookUps::operator()(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  // A bare name, a folder ("dir/") or the root: looked up whole.
  if (slash == std::string::npos || slash + 1 == path.size() || slash == 0) return LookUpPath(path);
  const std::string_view folder(path.data(), slash + 1);
  if (folder != m_folder) {
    if (m_fd >= 0) close(m_fd);
    m_folder.assign(folder);
    m_fd = open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  struct stat st;
  if (m_fd < 0) return LookUpPath(path);
  if (fstatat(m_fd, path.c_str() + slash + 1, &st, 0) != 0) return std::nullopt;
  if (S_ISDIR(st.st_mode) && IsFileSystemRoot(st)) return std::nullopt;
  return EntryFromStat(st);
}

std::vector<std::uint64_t> LookUpFileSizes(const std::vector<const std::string*>& paths) {
  std::vector<std::uint64_t> sizes(paths.size(), NOT_A_FILE);
  std::size_t half = paths.size();
  std::thread second;
  if (paths.size() >= SHARED_LOOK_UPS) {
    half = paths.size() / 2;
    try {
      second = std::thread(LookUpRun, std::cref(paths), half, paths.size(), std::ref(sizes));
    } catch (const std::system_error&) {
      half = paths.size();  // no thread to be had: all of it here
    }
  }
  LookUpRun(paths, 0, half, sizes);
  if (second.joinable()) second.join();
  return sizes;
}

bool ListFolder(const std::string& folderPath,
                const std::function<bool(const ListedEntry&)>& visit) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(folderPath.c_str()));
  if (!dir) return false;
  const int folderFd = dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* ent = readdir(dir.get());
    if (ent == nullptr) return errno == 0;
    const std::string_view name = ent->d_name;
    if (name == "." || name == "..") continue;
    const std::optional<ListedEntry> listed = EntryOf(folderFd, *ent);
    if (!listed) continue;
    if (!visit(*listed)) return true;
  }
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

std::string PathTitle(const std::string& path) {
  std::string::size_type end = path.find_last_not_of('/');
  if (end == std::string::npos) return path;  // "" or only separators
  const std::string::size_type slash = path.rfind('/', end);
  const std::string::size_type begin = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(begin, end + 1 - begin);
}
