// Composes the tool's entries from the option controls and the layout tree:
// the settings, then the files at the root, then each folder's "-d" entry
// followed by its files and then its sub-folders, depth first. The option
// string is rendered from the same entries.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include "app/MainDialog.h"
#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "layout/DiskEntry.h"
#include "layout/DropTreeCtrl.h"

namespace {

// The children of one tree item in tree order (by cookie: asking a generic
// tree item for its next sibling searches the sibling list every time).
template <typename Visit>
bool ForEachChild(const wxTreeCtrl& tree, const wxTreeItemId& parent, Visit visit) {
  wxTreeItemIdValue cookie;
  for (wxTreeItemId child = tree.GetFirstChild(parent, cookie); child.IsOk();
       child = tree.GetNextChild(parent, cookie)) {
    if (!visit(child)) return false;
  }
  return true;
}

// A folder's name in the image is its label. The store holds the same text as
// the file system's bytes, which the label shows decoded: take the bytes when
// they are what the label shows.
std::string FolderName(const CDropTreeCtrl& tree, const wxTreeItemId& folder) {
  const wxString label = tree.GetItemText(folder);
  const std::string& stored = tree.ItemPath(tree.ItemIndex(folder));
  if (ToDisplay(stored) == label) return stored;
  return FromDisplay(label);
}

// The file entries of one folder (or of the root), in tree order: "-f", or
// "-m" for a Form 2 file, each file's size counted. False at the first file
// that cannot be found, after saying so.
bool AppendFileEntries(const CDropTreeCtrl& tree, const wxTreeItemId& folder,
                       CommandLine& entries, std::int64_t& total, wxWindow* parent) {
  return ForEachChild(tree, folder, [&](const wxTreeItemId& item) {
    if (tree.IsFolderItem(item)) return true;
    const int index = tree.ItemIndex(item);
    const std::string& path = tree.ItemPath(index);
    const std::optional<DiskEntry> found = LookUpPath(path);
    if (!found || found->kind != EntryKind::File) {
      ShowCannotFind(path, parent);
      return false;
    }
    total += static_cast<std::int64_t>(found->size);
    entries.push_back(CommandEntry{tree.IsForm2(index) ? "-m" : "-f", true, path});
    return true;
  });
}

}  // namespace

bool MainDialog::BuildCommandLine() {
  m_entries.clear();
  m_cmdLine.clear();
  m_totalSize = 0;
  CommandSettings settings;
  settings.imagePath = ImagePathBytes();
  settings.volumeName = FromDisplay(m_volumeName->GetValue());
  settings.form2Ext = FromDisplay(m_form2Ext->GetValue());
  settings.keepExtension = m_keepExtension->IsChecked();
  settings.singleTrack = m_singleTrack->IsChecked();
  settings.isoLevelIndex = m_isoLevel->GetSelection();
  m_imageTarget = settings.imagePath;
  AppendSettingsEntries(settings, m_entries);

  const wxTreeItemId root = m_tree->GetRootItem();
  if (!root.IsOk() || m_tree->GetChildrenCount(root, false) == 0) return false;
  if (!AppendFileEntries(*m_tree, root, m_entries, m_totalSize, this)) return false;
  const bool complete = ForEachChild(*m_tree, root, [&](const wxTreeItemId& folder) {
    if (!m_tree->IsFolderItem(folder)) return true;
    m_entries.push_back(CommandEntry{"-d", true, FolderName(*m_tree, folder)});
    return AppendFolderContents(folder, std::string());
  });
  if (!complete) return false;
  m_cmdLine = RenderOptionString(m_entries);
  return true;
}

// Appends the contents of one folder: its files, then for each sub-folder its
// "-d" entry (the folder's in-image path, backslashes between the names) and
// that sub-folder's contents. prefix is the in-image path of the folder's
// parent followed by a backslash, or empty at the root.
bool MainDialog::AppendFolderContents(const wxTreeItemId& folder, const std::string& prefix) {
  if (!AppendFileEntries(*m_tree, folder, m_entries, m_totalSize, this)) return false;
  const std::string inner = prefix + FolderName(*m_tree, folder) + "\\";
  return ForEachChild(*m_tree, folder, [&](const wxTreeItemId& sub) {
    if (!m_tree->IsFolderItem(sub)) return true;
    m_entries.push_back(CommandEntry{"-d", true, inner + FolderName(*m_tree, sub)});
    return AppendFolderContents(sub, inner);
  });
}
