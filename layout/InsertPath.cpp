// Every item enters the layout here: folders made in the layout, and paths on
// disk, a folder being taken in whole by a recursive scan. Files found by the
// scan go to their sorted position among the children present at that moment;
// sub-folders are appended in the order the listing gives them.
#include <wx/wupdlock.h>

#include <algorithm>

#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "layout/DiskEntry.h"
#include "layout/DropTreeCtrl.h"

namespace {

using ScanStack = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// Labels compare alphabetically whatever the letters' case.
std::string FoldCase(const std::string& label) {
  std::string folded = label;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool IsBeingScanned(const ScanStack& scanning, const DiskEntry& folder) {
  return std::find(scanning.begin(), scanning.end(),
                   std::make_pair(folder.device, folder.inode)) != scanning.end();
}

}  // namespace

// The case-folded labels of a folder's children in tree order. While they are
// in order (no sub-folder appended out of order), the place of a new file is
// found by binary search; else by a linear search for the first greater one.
struct CDropTreeCtrl::ChildOrder {
  std::vector<std::string> labels;
  bool sorted = true;

  std::size_t PlaceOf(const std::string& folded) const {
    const auto greater = sorted ? std::upper_bound(labels.begin(), labels.end(), folded)
                                : std::find_if(labels.begin(), labels.end(),
                                               [&](const std::string& c) { return c > folded; });
    return static_cast<std::size_t>(greater - labels.begin());
  }
  void Append(std::string folded) {
    if (!labels.empty() && folded < labels.back()) sorted = false;
    labels.push_back(std::move(folded));
  }
};

wxTreeItemId CDropTreeCtrl::InsertPath(const std::string& path, wxTreeItemId parent,
                                       bool fromDisk) {
  if (fromDisk) {
    ScanStack scanning;
    return InsertFromDisk(path, parent, scanning);
  }
  if (RefuseWhenFull()) return parent;
  const wxTreeItemId item = AppendItem(InsertionParent(parent), ToDisplay(path), 0, 1);
  SetItemIndex(item, AddStoreEntry(path, true));
  return item;
}

bool CDropTreeCtrl::RefuseWhenFull() {
  if (!IsFull()) return false;
  if (!m_fullReported) {
    m_fullReported = true;
    ShowMessage(MSG_LAYOUT_FULL, wxGetTopLevelParent(this));
  }
  return true;
}

wxTreeItemId CDropTreeCtrl::InsertFromDisk(const std::string& path, wxTreeItemId parent,
                                           ScanStack& scanning) {
  const std::optional<DiskEntry> entry = LookUpPath(path);
  if (!entry) {
    ShowCannotFind(path, wxGetTopLevelParent(this));
    return parent;
  }
  const bool isFolder = entry->kind == EntryKind::Folder;
  if (isFolder && IsBeingScanned(scanning, *entry)) return parent;  // a link back up the path
  if (RefuseWhenFull()) return parent;

  const auto [icon, openIcon] = IconsFor(path, isFolder);
  const std::string label = PathTitle(path);
  const wxTreeItemId item = AppendItem(InsertionParent(parent), ToDisplay(label), icon, openIcon);
  // A folder from disk keeps its name in the store, a file its full path.
  SetItemIndex(item, AddStoreEntry(isFolder ? label : path, isFolder));
  if (isFolder) {
    wxWindowUpdateLocker noRedraw(this);
    scanning.emplace_back(entry->device, entry->inode);
    ScanFolder(path, item, scanning);
    scanning.pop_back();
  }
  return item;
}

void CDropTreeCtrl::ScanFolder(const std::string& folderPath, wxTreeItemId folderItem,
                               ScanStack& scanning) {
  // The scan is the only one adding children here: it keeps their labels.
  ChildOrder order;
  // A listing that fails (no permission, an error part way) ends the scan
  // quietly: the items inserted so far stay.
  ListFolder(folderPath, [&](const ListedEntry& listed) {
    if (listed.name.front() == '.') return true;
    if (RefuseWhenFull()) return false;
    const std::string path = JoinPath(folderPath, listed.name);
    if (listed.kind == EntryKind::Folder) {
      if (InsertFromDisk(path, folderItem, scanning) != folderItem) {
        order.Append(FoldCase(listed.name));
      }
      return true;
    }
    const auto [icon, openIcon] = IconsFor(path, false);
    const wxTreeItemId item =
        InsertSortedFile(folderItem, listed.name, icon, openIcon, order);
    SetItemIndex(item, AddStoreEntry(path, false));
    return true;
  });
}

wxTreeItemId CDropTreeCtrl::InsertSortedFile(wxTreeItemId parent, const std::string& label,
                                             int image, int selImage, ChildOrder& order) {
  // Before the first child that compares greater; after equal ones.
  std::string folded = FoldCase(label);
  const std::size_t place = order.PlaceOf(folded);
  order.labels.insert(order.labels.begin() + static_cast<std::ptrdiff_t>(place), std::move(folded));
  return InsertItem(parent, place, ToDisplay(label), image, selImage);
}
