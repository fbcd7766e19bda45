#include "tool/ImageTree.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/PosixFile.h"
#include "tool/InputRing.h"
#include "tool/IsoNames.h"

namespace {

// Descriptors a run needs besides its inputs: the standard streams, the
// image, the cue sheet's temporary file, the folder the inputs are opened
// in, the rings they are opened and read through, and room to spare.
constexpr rlim_t RESERVED_DESCRIPTORS = 64;
// The soft limit is raised no higher than this.
constexpr rlim_t MOST_DESCRIPTORS = rlim_t{1} << 20;

// How many inputs may stay open: the soft limit on open files raised to the
// hard one, less what the run needs besides.
std::size_t InputsThatMayStayOpen() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  const rlim_t wanted = std::min(limit.rlim_max, MOST_DESCRIPTORS);
  if (limit.rlim_cur < wanted) {
    const rlimit raised{wanted, limit.rlim_max};
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit.rlim_cur = wanted;
  }
  return limit.rlim_cur > RESERVED_DESCRIPTORS ? static_cast<std::size_t>(limit.rlim_cur - RESERVED_DESCRIPTORS) : 0;
}

// The folders made so far, by parent and name: a look-up costs the same
// however many folders one folder holds.
class FolderIndex {
 public:
  ImageNode* FindOrMake(ImageNode& parent, const std::string& name) {
    const ImageNode* parentAddress = &parent;
    std::string key(reinterpret_cast<const char*>(&parentAddress), sizeof parentAddress);
    key += name;
    auto [it, made] = m_folders.try_emplace(std::move(key), nullptr);
    if (!made) return it->second;
    auto folder = std::make_unique<ImageNode>();
    folder->isFolder = true;
    folder->rawName = name;
    folder->parent = &parent;
    folder->depth = parent.depth + 1;
    parent.children.push_back(std::move(folder));
    it->second = parent.children.back().get();
    return it->second;
  }

 private:
  std::unordered_map<std::string, ImageNode*> m_folders;  // parent's address, then the name
};

// "A\B\C" from the root; empty parts (doubled or outer backslashes) are skipped.
ImageNode* FolderForPath(ImageNode& root, FolderIndex& index, const std::string& inImagePath) {
  ImageNode* folder = &root;
  std::size_t start = 0;
  while (start <= inImagePath.size()) {
    std::size_t end = inImagePath.find('\\', start);
    if (end == std::string::npos) end = inImagePath.size();
    if (end > start) folder = index.FindOrMake(*folder, inImagePath.substr(start, end - start));
    start = end + 1;
  }
  return folder;
}

Status AddFile(ImageNode& folder, const LayoutEntry& entry, const InputLookUp& lookUp) {
  InputFile found;
  if (Status s = lookUp(entry.value, found)) return s;
  auto file = std::make_unique<ImageNode>();
  file->isForm2 = entry.kind == EntryKind::Form2File;
  file->rawName = BaseName(entry.value);
  file->sourcePath = entry.value;
  file->size = found.size;
  file->modified = found.modified;
  file->device = found.device;
  file->inode = found.inode;
  file->source = std::move(found.source);
  file->parent = &folder;
  file->depth = folder.depth + 1;
  folder.children.push_back(std::move(file));
  return std::nullopt;
}

std::string MappedName(const ToolOptions& o, const ImageNode& node) {
  if (node.isFolder) return MapFolderName(node.rawName, o.isoLevel);
  const bool renameExtension = node.isForm2 && !o.keepExtension && !o.form2Extension.empty();
  return MapFileName(node.rawName, o.isoLevel, renameExtension ? &o.form2Extension : nullptr)
      .Identifier();
}

std::string NumberedName(const ToolOptions& o, const ImageNode& node, const std::string& mapped,
                         unsigned n) {
  if (node.isFolder) return NumberedFolderName(mapped, o.isoLevel, n);
  const std::size_t dot = mapped.rfind('.');
  FileName f{mapped.substr(0, dot), mapped.substr(dot + 1)};
  return NumberedFileName(f, o.isoLevel, n).Identifier();
}

// Names the children of one folder in the order they were given; a later
// child whose name a reader would show like an earlier one gets a number.
// Each mapped name remembers the last number it was given, so that n
// clashing names cost n tries, not n * n.
void NameChildren(const ToolOptions& o, ImageNode& folder, void (*note)(const std::string&)) {
  std::unordered_set<std::string> taken;
  std::unordered_map<std::string, unsigned> lastNumber;  // by mapped name, '/' ending folders
  taken.reserve(folder.children.size());
  for (auto& child : folder.children) {
    const std::string mapped = MappedName(o, *child);
    std::string name = mapped;
    std::string key = ClashKey(name, child->isFolder);
    if (taken.count(key) != 0) {
      unsigned& n = lastNumber[child->isFolder ? mapped + "/" : mapped];
      do {
        name = NumberedName(o, *child, mapped, ++n);
        key = ClashKey(name, child->isFolder);
      } while (taken.count(key) != 0);
    }
    if (name != mapped && note) {
      const std::string what = child->isFolder ? "folder " + child->rawName : child->sourcePath;
      note("Renamed " + what + " to " + VisibleName(name, child->isFolder) + " in " +
           (folder.parent ? ImagePath(folder) : std::string("the root")) + ": name already used");
    }
    taken.insert(std::move(key));
    child->numbered = name != mapped;
    child->identifier = std::move(name);
  }
}

}  // namespace

ImageNode::~ImageNode() {
  std::vector<std::unique_ptr<ImageNode>> pending = std::move(children);
  while (!pending.empty()) {
    std::unique_ptr<ImageNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children) pending.push_back(std::move(child));
    node->children.clear();
  }  // each node goes with no children left to take along
}

int InputOpener::Where(const std::string& path, const char*& name) {
  name = path.c_str();
  const std::size_t slash = path.rfind('/');
  // No folder to hold, or no name after it ("dir/" must fail as a folder
  // does).
  if (slash == std::string::npos || slash + 1 == path.size()) return AT_FDCWD;
  const std::string_view folder(path.data(), slash + 1);
  if (folder != m_folder) {
    m_folder.assign(folder);
    if (m_folderFd.Valid()) m_released.push_back(std::move(m_folderFd));
    m_folderTried = false;
    return AT_FDCWD;
  }
  if (!m_folderTried) {
    m_folderTried = true;
    m_folderFd = OwnedFd(::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
  if (!m_folderFd.Valid()) return AT_FDCWD;
  name = path.c_str() + slash + 1;
  return m_folderFd.Get();
}

int InputOpener::Open(const std::string& path, int flags) {
  const char* name = nullptr;
  const int folder = Where(path, name);
  ReleaseFolders();
  return ::openat(folder, name, flags);
}

namespace {

// O_NONBLOCK: a FIFO of that name must not hold the run (reads of a regular
// file do not heed it).
constexpr int INPUT_FLAGS = O_RDONLY | O_NONBLOCK | O_CLOEXEC;

Status CannotRead(const std::string& path, int error) {
  return InputError("Cannot read " + path + ": " + std::strerror(error));
}

// The look-up of a file opened as `fd`, whose type and facts are those given.
Status TakeOpened(const std::string& path, OwnedFd fd, mode_t mode, InputFile facts, InputFile& found) {
  if (S_ISDIR(mode)) return InputError("Cannot read " + path + ": it is a directory");
  if (!S_ISREG(mode)) return InputError("Cannot read " + path + ": not a regular file");
  facts.source = std::move(fd);
  found = std::move(facts);
  return std::nullopt;
}

Status LookThroughDescriptor(const std::string& path, OwnedFd fd, InputFile& found) {
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return CannotRead(path, errno);
  InputFile facts;
  facts.size = static_cast<std::uint64_t>(st.st_size);
  facts.modified = st.st_mtime;
  facts.device = static_cast<std::uint64_t>(st.st_dev);
  facts.inode = static_cast<std::uint64_t>(st.st_ino);
  return TakeOpened(path, std::move(fd), st.st_mode, std::move(facts), found);
}

// Files opened ahead by the ring, in the order they will be asked for.
constexpr unsigned RING_BATCH = 256;

}  // namespace

Status OpenInput(const std::string& path, InputFile& found, InputOpener* opener) {
  OwnedFd fd(opener ? opener->Open(path, INPUT_FLAGS) : ::open(path.c_str(), INPUT_FLAGS));
  if (!fd.Valid()) return CannotRead(path, errno);
  return LookThroughDescriptor(path, std::move(fd), found);
}

Status LookUpInputOnDisk(const std::string& path, InputFile& found) {
  Status s = OpenInput(path, found);
  found.source.Close();
  return s;
}

InputLookUp KeepingInputsOpen(const std::vector<LayoutEntry>& entries) {
  struct State {
    std::size_t left = InputsThatMayStayOpen();
    InputOpener opener;
    const std::vector<LayoutEntry>* entries = nullptr;
    std::size_t nextEntry = 0;              // the first entry not yet opened ahead
    std::unique_ptr<InputRing> ring;
    // Opened ahead, from `taken` on: the paths asked for, and what the ring
    // gave for each (the same room for every batch).
    std::vector<const std::string*> aheadPaths;
    std::vector<RingOpened> opened;
    std::size_t taken = 0;
    ~State() {
      for (std::size_t i = taken; i < aheadPaths.size(); ++i)
        if (opened[i].fd >= 0) ::close(opened[i].fd);
    }
    // Opens the next batch of files ahead, as far as descriptors may stay open.
    void OpenAhead() {
      aheadPaths.clear();
      taken = 0;
      if (!ring || left < RING_BATCH) return;
      std::vector<RingOpen> requests;
      requests.reserve(RING_BATCH);
      for (; nextEntry < entries->size() && requests.size() < RING_BATCH; ++nextEntry) {
        const LayoutEntry& entry = (*entries)[nextEntry];
        if (entry.kind == EntryKind::Folder) continue;
        RingOpen request;
        request.folderFd = opener.Where(entry.value, request.name);
        requests.push_back(request);
        aheadPaths.push_back(&entry.value);
      }
      if (opened.size() < requests.size()) opened.resize(RING_BATCH);
      const bool done = ring->OpenAndLook(requests, INPUT_FLAGS, opened);
      opener.ReleaseFolders();
      if (!done) {
        ring.reset();  // the rest are opened one by one
        aheadPaths.clear();
        return;
      }
      left -= requests.size();
    }
  };
  auto state = std::make_shared<State>();
  state->entries = &entries;
  const auto files = std::count_if(entries.begin(), entries.end(),
                                   [](const LayoutEntry& e) { return e.kind != EntryKind::Folder; });
  if (static_cast<std::size_t>(files) >= LEAST_FILES_FOR_A_RING) state->ring = InputRing::Create(RING_BATCH);
  return [state](const std::string& path, InputFile& found) {
    if (state->taken == state->aheadPaths.size()) state->OpenAhead();
    if (state->taken < state->aheadPaths.size()) {
      const std::string* asked = state->aheadPaths[state->taken];
      RingOpened& next = state->opened[state->taken++];
      if (asked == &path && next.looked) {
        OwnedFd fd(std::exchange(next.fd, -1));
        const struct statx& st = next.st;
        InputFile facts;
        facts.size = st.stx_size;
        facts.modified = static_cast<std::time_t>(st.stx_mtime.tv_sec);
        facts.device = static_cast<std::uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor));
        facts.inode = st.stx_ino;
        return TakeOpened(path, std::move(fd), st.stx_mode, std::move(facts), found);
      }
      // Opened but not looked at: looked at the plain way, for the reason too.
      if (asked == &path && next.fd >= 0)
        return LookThroughDescriptor(path, OwnedFd(std::exchange(next.fd, -1)), found);
      if (next.fd >= 0) ::close(std::exchange(next.fd, -1));
      // Not opened (the plain open below gives the reason), or asked out of
      // order: opened on its own.
    }
    Status s = OpenInput(path, found, &state->opener);
    if (!s && state->left > 0) --state->left;
    else found.source.Close();
    return s;
  };
}

Status BuildImageTree(const ToolOptions& options, ImageNode& root, const InputLookUp& lookUp) {
  root.isFolder = true;
  FolderIndex index;
  ImageNode* current = &root;
  for (const LayoutEntry& entry : options.entries) {
    if (entry.kind == EntryKind::Folder) {
      current = FolderForPath(root, index, entry.value);
    } else if (Status s = AddFile(*current, entry, lookUp)) {
      return s;
    }
  }
  return std::nullopt;
}

void NameAndSortTree(const ToolOptions& options, ImageNode& root,
                     void (*note)(const std::string& line)) {
  std::vector<ImageNode*> pending = {&root};
  while (!pending.empty()) {
    ImageNode* folder = pending.back();
    pending.pop_back();
    NameChildren(options, *folder, note);
    const auto less = [](const auto& a, const auto& b) {
      return RecordLess(a->identifier, a->isFolder, b->identifier, b->isFolder);
    };
    // Children given in record order (as a sorted folder often is) need no sort.
    if (!std::is_sorted(folder->children.begin(), folder->children.end(), less))
      std::stable_sort(folder->children.begin(), folder->children.end(), less);
    for (auto it = folder->children.rbegin(); it != folder->children.rend(); ++it)  // first on top
      if ((*it)->isFolder) pending.push_back(it->get());
  }
}

void CloseInputs(ImageNode& root) {
  std::vector<int> fds;
  ForEachFile(root, [&fds](ImageNode& file) {
    if (file.source.Valid()) fds.push_back(file.source.Release());
  });
  std::sort(fds.begin(), fds.end());
  for (std::size_t first = 0; first < fds.size();) {
    std::size_t end = first + 1;  // past the run of consecutive numbers
    while (end < fds.size() && fds[end] == fds[end - 1] + 1) ++end;
    // A system without close_range closes them one by one.
    if (end - first == 1 || ::close_range(static_cast<unsigned>(fds[first]), static_cast<unsigned>(fds[end - 1]), 0) != 0)
      for (std::size_t i = first; i < end; ++i) ::close(fds[i]);
    first = end;
  }
}

std::string ImagePath(const ImageNode& node) {
  std::vector<const ImageNode*> chain;
  for (const ImageNode* n = &node; n->parent; n = n->parent) chain.push_back(n);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '/';
    path += (*it)->isFolder ? (*it)->identifier : VisibleName((*it)->identifier, false);
  }
  return path;
}
