// Looking paths up on disk and listing folders, as the layout needs them:
// only regular files and directories count, sizes are 64-bit, symbolic links
// are followed, and a listing gives entries in the file system's order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What a path on disk is, as the layout counts it (the tool has its own
// kinds of layout entry).
enum class DiskKind { File, Folder };

struct DiskEntry {
  DiskKind kind = DiskKind::File;
  std::uint64_t size = 0;
  // Identity of the directory (device, inode), to pass over loops.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// An exact look-up of one path (no wildcards). The file-system root "/" and
// anything that is neither a regular file nor a directory count as not found.
std::optional<DiskEntry> LookUpPath(const std::string& path);

// Whether the system refuses path for its length: longer than a path can be,
// or with a component longer than a name can be.
bool PathTooLong(const std::string& path);

// LookUpPath for many paths in a row, most of them in the same folder as the
// one before: the folder is opened once and each file looked up by its name
// in it, so the path's folders are not walked again for every file.
class PathLookUps {
 public:
  PathLookUps() = default;
  ~PathLookUps();
  PathLookUps(const PathLookUps&) = delete;
  PathLookUps& operator=(const PathLookUps&) = delete;
  std::optional<DiskEntry> operator()(const std::string& path);

 private:
  std::string m_folder;  // the folder open in m_fd, with its closing '/'
  int m_fd = -1;
};

// The sizes of many files, each looked up as PathLookUps does: sizes[i] is
// that of *paths[i], or NOT_A_FILE when it is not on disk or is no regular
// file. A long list is split into two runs in its order, the second looked
// up on a thread of its own, so the look-ups of a large layout take about
// half the time on two cores; each run keeps its folders open in a row.
constexpr std::uint64_t NOT_A_FILE = UINT64_MAX;
std::vector<std::uint64_t> LookUpFileSizes(const std::vector<const std::string*>& paths);

struct ListedEntry {
  std::string name;
  DiskKind kind;
  // A file's size, from the look-up the listing makes of each file (through
  // the open folder, so at little cost); none when that look-up failed.
  std::optional<std::uint64_t> size;
};

// Lists a folder in the order the file system gives, calling visit for each
// regular file (with its size) or directory ("." and ".." excluded; other names that begin
// with a full stop are passed on: the caller decides). Returns false when the
// folder cannot be listed or the listing fails part way; the entries already
// visited stay visited. visit returns false to stop the listing early.
bool ListFolder(const std::string& folderPath,
                const std::function<bool(const ListedEntry&)>& visit);

// "dir/name", with no doubled separator when dir already ends in '/'.
std::string JoinPath(const std::string& dir, const std::string& name);

// The last component of a path (the label of an item inserted from disk).
std::string PathTitle(const std::string& path);
