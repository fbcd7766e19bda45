// The layout model: store, tree, insertion from disk with its sort rule, and
// the editing rules. Files found by a folder's scan go to their sorted place
// among the children present at that moment; sub-folders are appended in the
// order the listing gives them.
#include "layout/LayoutModel.h"

#include <algorithm>

#include "common/DiskEntry.h"
#include "layout/LabelOrder.h"


// The sort keys of the labels of a folder's children in order. While they are in
// order (no sub-folder appended out of order), the place of a new file is
// found by binary search; else by a linear search for the first greater one.
struct LayoutModel::ChildOrder {
  std::vector<std::string> labels;
  bool sorted = true;

  // Before the first child that compares greater; after equal ones.
  std::size_t PlaceOf(const std::string& folded) const {
    const auto greater = sorted ? std::upper_bound(labels.begin(), labels.end(), folded)
                                : std::find_if(labels.begin(), labels.end(),
                                               [&](const std::string& c) { return c > folded; });
    return static_cast<std::size_t>(greater - labels.begin());
  }
  void Insert(std::size_t place, std::string folded) {
    labels.insert(labels.begin() + static_cast<std::ptrdiff_t>(place), std::move(folded));
  }
  void Append(std::string folded) {
    if (!labels.empty() && folded < labels.back()) sorted = false;
    labels.push_back(std::move(folded));
  }
};

LayoutModel::LayoutModel(LayoutObserver* observer) : m_observer(observer) {
  Reset();
}

void LayoutModel::Reset() {
  // Entries of earlier indices are released; each index is handed out anew.
  m_itemPath.assign(MAX_ITEMS, std::string());
  m_isFolder.assign(MAX_ITEMS, 0);
  m_isForm2.assign(MAX_ITEMS, 0);
  m_size.assign(MAX_ITEMS, NO_SIZE);
  m_parent.assign(MAX_ITEMS, -1);
  m_children.assign(MAX_ITEMS, std::vector<int>());
  m_parent[TOP_LEVEL] = TOP_LEVEL;
  m_nextIndex = 1;
  Observer().OnCleared();
}

std::string LayoutModel::Label(int index) const {
  return IsFolder(index) ? ItemPath(index) : PathTitle(ItemPath(index));
}

std::optional<std::uint64_t> LayoutModel::KnownSize(int index) const {
  if (index <= 0 || index >= m_nextIndex || m_size[Slot(index)] == NO_SIZE) return std::nullopt;
  return m_size[Slot(index)];
}

void LayoutModel::RememberSize(int index, std::uint64_t size) {
  if (index > 0 && index < m_nextIndex && !IsFolder(index)) m_size[Slot(index)] = size;
}

bool LayoutModel::Contains(int index) const {
  return index > 0 && index < m_nextIndex && m_parent[Slot(index)] >= 0;
}

int LayoutModel::ParentOf(int index) const {
  return Contains(index) ? m_parent[Slot(index)] : TOP_LEVEL;
}

bool LayoutModel::IsInSubtree(int item, int ancestor) const {
  if (item == ancestor) return true;
  if (!Contains(item)) return false;
  for (int at = m_parent[Slot(item)]; at != TOP_LEVEL; at = m_parent[Slot(at)]) {
    if (at == ancestor) return true;
  }
  return ancestor == TOP_LEVEL;
}

int LayoutModel::FindFolder(const std::string& name, int parent) const {
  for (const int child : ChildrenOf(parent)) {
    if (IsFolder(child) && ItemPath(child) == name) return child;
  }
  return 0;
}

void LayoutModel::BeginCommand() {
  m_fullReported = false;
}

bool LayoutModel::CanKeepFilePath(const std::string& path) {
  return path.find('"') == std::string::npos;
}

bool LayoutModel::CanKeepFolderName(const std::string& name) {
  return name.find_first_of("\"\\") == std::string::npos;
}

bool LayoutModel::Keepable(const std::string& path, bool isFolder) {
  if (isFolder ? CanKeepFolderName(PathTitle(path)) : CanKeepFilePath(path)) return true;
  if (m_passedOver) m_passedOver->Add(path);
  return false;
}

bool LayoutModel::RefuseWhenFull() {
  if (!IsFull()) return false;
  if (!m_fullReported) {
    m_fullReported = true;
    Observer().OnFull();
  }
  return true;
}

int LayoutModel::AddEntry(const std::string& path, bool isFolder, int parent, std::size_t place,
                          std::optional<std::uint64_t> size) {
  const int index = m_nextIndex++;
  m_itemPath[Slot(index)] = path;
  m_isFolder[Slot(index)] = isFolder ? 1 : 0;
  m_isForm2[Slot(index)] = 0;
  m_size[Slot(index)] = size && !isFolder ? *size : NO_SIZE;
  m_parent[Slot(index)] = parent;
  std::vector<int>& siblings = m_children[Slot(parent)];
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(place), index);
  Observer().OnInserted(index, parent, place);
  return index;
}

int LayoutModel::InsertFolder(const std::string& name, int parent) {
  if (!Contains(parent)) parent = TOP_LEVEL;
  if (RefuseWhenFull()) return 0;
  return AddEntry(name, true, parent, ChildrenOf(parent).size());
}

int LayoutModel::InsertPath(const std::string& path, int parent, PassedOver* passedOver) {
  if (!Contains(parent)) parent = TOP_LEVEL;
  ScanStack scanning;
  m_passedOver = passedOver;
  const int index = InsertFromDisk(path, parent, scanning);
  m_passedOver = nullptr;
  return index;
}

int LayoutModel::InsertFromDisk(const std::string& path, int parent, ScanStack& scanning) {
  const std::optional<DiskEntry> entry = LookUpPath(path);
  if (!entry) {
    if (PathTooLong(path)) {
      Observer().OnPathTooLong(path);
    } else {
      Observer().OnCannotFind(path);
    }
    return 0;
  }
  const bool isFolder = entry->kind == DiskKind::Folder;
  const auto identity = std::make_pair(entry->device, entry->inode);
  if (isFolder && std::find(scanning.begin(), scanning.end(), identity) != scanning.end()) {
    return 0;  // a link back up the path
  }
  if (!Keepable(path, isFolder)) return 0;
  if (RefuseWhenFull()) return 0;
  // A folder from disk keeps its name in the store, a file its full path.
  const int index = AddEntry(isFolder ? PathTitle(path) : path, isFolder, parent,
                             ChildrenOf(parent).size(), entry->size);
  if (isFolder) {
    scanning.push_back(identity);
    ScanFolder(path, index, scanning);
    scanning.pop_back();
  }
  return index;
}

void LayoutModel::ScanFolder(const std::string& folderPath, int folder, ScanStack& scanning) {
  // The scan is the only one adding children here: it keeps their labels.
  ChildOrder order;
  // A listing that fails (no permission, an error part way) ends the scan
  // quietly: the items inserted so far stay.
  ListFolder(folderPath, [&](const ListedEntry& listed) {
    if (listed.name.front() == '.') return true;
    if (RefuseWhenFull()) return false;
    const std::string path = JoinPath(folderPath, listed.name);
    if (listed.kind == DiskKind::Folder) {
      if (InsertFromDisk(path, folder, scanning) != 0) order.Append(LabelSortKey(listed.name));
      return true;
    }
    if (!Keepable(path, false)) return true;
    std::string folded = LabelSortKey(listed.name);
    const std::size_t place = order.PlaceOf(folded);
    order.Insert(place, std::move(folded));
    AddEntry(path, false, folder, place, listed.size);
    return true;
  });
}

void LayoutModel::Remove(int item) {
  if (!Contains(item)) return;
  Observer().OnRemoving(item);
  std::vector<int>& siblings = m_children[Slot(m_parent[Slot(item)])];
  siblings.erase(std::find(siblings.begin(), siblings.end(), item));
  // The subtree leaves the layout; the store keeps its entries.
  Detach({item});
}

void LayoutModel::Detach(std::vector<int> pending) {
  // Without recursion: a layout may nest as deep as it has items.
  while (!pending.empty()) {
    const int at = pending.back();
    pending.pop_back();
    m_parent[Slot(at)] = -1;
    pending.insert(pending.end(), m_children[Slot(at)].begin(), m_children[Slot(at)].end());
    m_children[Slot(at)].clear();
  }
}

void LayoutModel::RemoveAll() {
  std::vector<int> top;
  top.swap(m_children[TOP_LEVEL]);
  Detach(std::move(top));
  Observer().OnCleared();
}

void LayoutModel::Rename(int folder, const std::string& name) {
  if (!Contains(folder) || !IsFolder(folder)) return;
  m_itemPath[Slot(folder)] = name;
  Observer().OnRenamed(folder);
}

void LayoutModel::SetForm2(int item, bool form2) {
  if (item <= 0 || item >= m_nextIndex) return;
  m_isForm2[Slot(item)] = form2 ? 1 : 0;
  Observer().OnForm2Changed(item);
}

void LayoutModel::ApplyForm2(int folder, bool value) {
  std::vector<int> pending{folder};
  while (!pending.empty()) {
    const int parent = pending.back();
    pending.pop_back();
    for (const int child : ChildrenOf(parent)) {
      SetForm2(child, value);
      pending.push_back(child);
    }
  }
}

bool LayoutModel::Move(int item, int newParent) {
  if (!Contains(item)) return false;
  if (!Contains(newParent)) newParent = TOP_LEVEL;
  if (IsInSubtree(newParent, item)) return false;
  std::vector<int>& siblings = m_children[Slot(m_parent[Slot(item)])];
  siblings.erase(std::find(siblings.begin(), siblings.end(), item));
  m_parent[Slot(item)] = newParent;
  m_children[Slot(newParent)].push_back(item);
  Observer().OnMoved(item, newParent);
  return true;
}
