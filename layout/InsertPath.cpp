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
  // The folded labels of folderItem's children, in tree order: the scan is the
  // only one adding children here, so the tree need not be asked for labels.
  std::vector<std::string> childLabels;
  // A listing that fails (no permission, an error part way) ends the scan
  // quietly: the items inserted so far stay.
  ListFolder(folderPath, [&](const ListedEntry& listed) {
    if (listed.name.front() == '.') return true;
    if (RefuseWhenFull()) return false;
    const std::string path = JoinPath(folderPath, listed.name);
    if (listed.kind == EntryKind::Folder) {
      if (InsertFromDisk(path, folderItem, scanning) != folderItem) {
        childLabels.push_back(FoldCase(listed.name));
      }
      return true;
    }
    const auto [icon, openIcon] = IconsFor(path, false);
    const wxTreeItemId item =
        InsertSortedFile(folderItem, listed.name, icon, openIcon, childLabels);
    SetItemIndex(item, AddStoreEntry(path, false));
    return true;
  });
}

wxTreeItemId CDropTreeCtrl::InsertSortedFile(wxTreeItemId parent, const std::string& label,
                                             int image, int selImage,
                                             std::vector<std::string>& childLabels) {
  // Before the first child that compares greater; after equal ones.
  std::string folded = FoldCase(label);
  const auto greater = std::find_if(childLabels.begin(), childLabels.end(),
                                    [&](const std::string& child) { return child > folded; });
  const std::size_t position = static_cast<std::size_t>(greater - childLabels.begin());
  childLabels.insert(greater, std::move(folded));
  return InsertItem(parent, position, ToDisplay(label), image, selImage);
}
