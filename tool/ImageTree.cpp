#include "tool/ImageTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "common/PosixFile.h"
#include "tool/IsoNames.h"

namespace {

ImageNode* findOrMakeFolder(ImageNode& parent, const std::string& name) {
  for (auto& child : parent.children)
    if (child->isFolder && child->rawName == name) return child.get();
  auto folder = std::make_unique<ImageNode>();
  folder->isFolder = true;
  folder->rawName = name;
  folder->parent = &parent;
  folder->depth = parent.depth + 1;
  parent.children.push_back(std::move(folder));
  return parent.children.back().get();
}

// "A\B\C" from the root; empty parts (doubled or outer backslashes) are skipped.
ImageNode* folderForPath(ImageNode& root, const std::string& inImagePath) {
  ImageNode* folder = &root;
  std::size_t start = 0;
  while (start <= inImagePath.size()) {
    std::size_t end = inImagePath.find('\\', start);
    if (end == std::string::npos) end = inImagePath.size();
    if (end > start) folder = findOrMakeFolder(*folder, inImagePath.substr(start, end - start));
    start = end + 1;
  }
  return folder;
}

Status addFile(ImageNode& folder, const LayoutEntry& entry) {
  struct stat st {};
  if (stat(entry.value.c_str(), &st) != 0)
    return inputError("Cannot read " + entry.value + ": " + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return inputError("Cannot read " + entry.value + ": it is a directory");
  if (!S_ISREG(st.st_mode)) return inputError("Cannot read " + entry.value + ": not a regular file");
  // Refuse an unreadable file now rather than halfway through the image.
  const int fd = ::open(entry.value.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return inputError("Cannot read " + entry.value + ": " + std::strerror(errno));
  ::close(fd);
  auto file = std::make_unique<ImageNode>();
  file->isForm2 = entry.kind == EntryKind::Form2File;
  file->rawName = BaseName(entry.value);
  file->sourcePath = entry.value;
  file->size = static_cast<std::uint64_t>(st.st_size);
  file->modified = st.st_mtime;
  file->device = static_cast<std::uint64_t>(st.st_dev);
  file->inode = static_cast<std::uint64_t>(st.st_ino);
  file->parent = &folder;
  file->depth = folder.depth + 1;
  folder.children.push_back(std::move(file));
  return std::nullopt;
}

std::string mappedName(const ToolOptions& o, const ImageNode& node) {
  if (node.isFolder) return mapFolderName(node.rawName, o.isoLevel);
  const bool renameExtension = node.isForm2 && !o.keepExtension && !o.form2Extension.empty();
  return mapFileName(node.rawName, o.isoLevel, renameExtension ? &o.form2Extension : nullptr)
      .identifier();
}

std::string numberedName(const ToolOptions& o, const ImageNode& node, const std::string& mapped,
                         unsigned n) {
  if (node.isFolder) return numberedFolderName(mapped, o.isoLevel, n);
  const std::size_t dot = mapped.rfind('.');
  FileName f{mapped.substr(0, dot), mapped.substr(dot + 1)};
  return numberedFileName(f, o.isoLevel, n).identifier();
}

// Names the children of one folder in the order they were given; a later
// child whose name a reader would show like an earlier one gets a number.
void nameChildren(const ToolOptions& o, ImageNode& folder, void (*note)(const std::string&)) {
  std::set<std::string> taken;
  for (auto& child : folder.children) {
    const std::string mapped = mappedName(o, *child);
    std::string name = mapped;
    for (unsigned n = 1; taken.count(clashKey(name, child->isFolder)) != 0; ++n)
      name = numberedName(o, *child, mapped, n);
    if (name != mapped && note) {
      const std::string what = child->isFolder ? "folder " + child->rawName : child->sourcePath;
      note("Renamed " + what + " to " + visibleName(name, child->isFolder) + " in " +
           (folder.parent ? imagePath(folder) : std::string("the root")) + ": name already used");
    }
    taken.insert(clashKey(name, child->isFolder));
    child->identifier = std::move(name);
  }
}

}  // namespace

Status buildImageTree(const ToolOptions& options, ImageNode& root) {
  root.isFolder = true;
  ImageNode* current = &root;
  for (const LayoutEntry& entry : options.entries) {
    if (entry.kind == EntryKind::Folder) {
      current = folderForPath(root, entry.value);
    } else if (Status s = addFile(*current, entry)) {
      return s;
    }
  }
  return std::nullopt;
}

void nameAndSortTree(const ToolOptions& options, ImageNode& root,
                     void (*note)(const std::string& line)) {
  nameChildren(options, root, note);
  std::stable_sort(root.children.begin(), root.children.end(), [](const auto& a, const auto& b) {
    return recordLess(a->identifier, a->isFolder, b->identifier, b->isFolder);
  });
  for (auto& child : root.children)
    if (child->isFolder) nameAndSortTree(options, *child, note);
}

std::string imagePath(const ImageNode& node) {
  if (!node.parent) return "";
  const std::string up = imagePath(*node.parent);
  const std::string own = node.isFolder ? node.identifier : visibleName(node.identifier, false);
  return up.empty() ? own : up + "/" + own;
}
