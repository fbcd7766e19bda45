// The disc layout as a tree of items, with no window: the item store (each
// index's path, folder flag and Form 2 flag), the children of each folder in
// their order, and the rules of insertion, moving, removal and Form 2 marks.
// A view shows it by observing the changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the model tells whoever shows it. Each call comes once the model has
// changed, except OnRemoving, which comes while the subtree is still there.
class LayoutObserver {
 public:
  virtual ~LayoutObserver() = default;
  // index is the child at place among the children of parent.
  virtual void OnInserted(int /*index*/, int /*parent*/, std::size_t /*place*/) {}
  virtual void OnRemoving(int /*index*/) {}
  // index, with its subtree, is now the last child of newParent.
  virtual void OnMoved(int /*index*/, int /*newParent*/) {}
  virtual void OnForm2Changed(int /*index*/) {}
  virtual void OnRenamed(int /*index*/) {}
  // Every item left the layout (Remove All, or a new store).
  virtual void OnCleared() {}
  // A path to insert is not on disk (or no longer).
  virtual void OnCannotFind(const std::string& /*path*/) {}
  // A path to insert is longer than the system lets a program name (a
  // folder nested deeper than a path can reach).
  virtual void OnPathTooLong(const std::string& /*path*/) {}
  // The store is full; said at most once per command.
  virtual void OnFull() {}
};

// Paths from disk that an insertion passed over because a layout file could
// not carry them (at any depth of a scan), and the first of them.
struct PassedOver {
  std::size_t count = 0;
  std::string first;
  void Add(const std::string& path) {
    if (count++ == 0) first = path;
  }
};

class LayoutModel {
 public:
  // Indices run from 1 to MAX_ITEMS - 1 (49,999 items); 0 is the top level.
  static constexpr int MAX_ITEMS = 50000;
  static constexpr int TOP_LEVEL = 0;

  explicit LayoutModel(LayoutObserver* observer = nullptr);
  void SetObserver(LayoutObserver* observer) { m_observer = observer; }

  // ---- the store ----
  // A new, empty store: indices are handed out from 1 again.
  void Reset();
  // The index the next item will get; indices of removed items are not reused.
  int NextIndex() const { return m_nextIndex; }
  bool IsFull() const { return m_nextIndex >= MAX_ITEMS; }
  // A file's full path, or a folder's name in the image.
  const std::string& ItemPath(int index) const { return m_itemPath[Slot(index)]; }
  bool IsFolder(int index) const { return index > 0 && m_isFolder[Slot(index)] != 0; }
  bool IsForm2(int index) const { return index > 0 && m_isForm2[Slot(index)] != 0; }
  // The label the layout shows: a folder's name, a file's last path component.
  std::string Label(int index) const;
  // A file's size as last looked up: when it was inserted (the scan of its
  // folder looks each file up) or by RememberSize; none when not known. The
  // plan of the image takes it from here rather than from the disk again.
  std::optional<std::uint64_t> KnownSize(int index) const;
  void RememberSize(int index, std::uint64_t size);

  // ---- the tree ----
  // Whether index is in the layout now (a removed item's entries stay in the store).
  bool Contains(int index) const;
  int ParentOf(int index) const;  // TOP_LEVEL for a top-level item
  const std::vector<int>& ChildrenOf(int parent) const { return m_children[Slot(parent)]; }
  bool IsEmpty() const { return m_children[TOP_LEVEL].empty(); }
  // True when item is ancestor itself or lies below it.
  bool IsInSubtree(int item, int ancestor) const;
  // The first folder among the children of parent whose name is exactly name; 0 when none.
  int FindFolder(const std::string& name, int parent) const;

  // ---- insertion ----
  // Each command that inserts calls this first: "full" is said once per command.
  void BeginCommand();
  // What a layout file can carry: a value has no double quote (the grammar
  // has no escape), and a folder's name has no backslash (the separator of
  // in-image folder paths). A file is stored by its path, a folder by its name.
  static bool CanKeepFilePath(const std::string& path);
  static bool CanKeepFolderName(const std::string& name);
  // A folder made in the layout, last among the children of parent. Returns
  // its index, or 0 when the store is full.
  int InsertFolder(const std::string& name, int parent);
  // A path on disk, last among the children of parent; a folder comes with
  // everything below it. Returns the new item's index, or 0 when nothing was
  // created (not found, the store full, or a link back up the path). Paths
  // the layout cannot keep are added to passedOver when given.
  int InsertPath(const std::string& path, int parent, PassedOver* passedOver = nullptr);

  // ---- editing ----
  // Takes item and its subtree out of the layout; their store entries stay.
  void Remove(int item);
  // Empties the layout; the next index keeps its value.
  void RemoveAll();
  void Rename(int folder, const std::string& name);
  void SetForm2(int item, bool form2);
  // Every item below folder, at any depth, takes value.
  void ApplyForm2(int folder, bool value);
  // Moves item with its subtree to the end of newParent's children. A folder
  // moved onto itself or below itself stays put (false).
  bool Move(int item, int newParent);

 private:
  // Takes the items and everything below them out of the tree of children.
  void Detach(std::vector<int> pending);
  using ScanStack = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
  struct ChildOrder;

  static std::size_t Slot(int index) { return static_cast<std::size_t>(index); }
  bool RefuseWhenFull();
  // False, and told to the insertion's PassedOver, when the layout could not
  // keep this entry from disk.
  bool Keepable(const std::string& path, bool isFolder);
  int AddEntry(const std::string& path, bool isFolder, int parent, std::size_t place,
               std::optional<std::uint64_t> size = std::nullopt);
  int InsertFromDisk(const std::string& path, int parent, ScanStack& scanning);
  void ScanFolder(const std::string& folderPath, int folder, ScanStack& scanning);

  LayoutObserver* m_observer;
  LayoutObserver m_silent;  // when nobody observes
  LayoutObserver& Observer() { return m_observer ? *m_observer : m_silent; }

  int m_nextIndex = 1;
  std::vector<std::string> m_itemPath;
  std::vector<unsigned char> m_isFolder;
  std::vector<unsigned char> m_isForm2;
  static constexpr std::uint64_t NO_SIZE = UINT64_MAX;
  std::vector<std::uint64_t> m_size;  // NO_SIZE: not known
  std::vector<int> m_parent;  // -1: not in the layout
  std::vector<std::vector<int>> m_children;
  bool m_fullReported = false;
  PassedOver* m_passedOver = nullptr;  // the running InsertPath's, if it gave one
};
