// Add Files, Add Media Files, Add Folder, Make Folder, Remove and Set/Unset
// Form2: the chooser asked, the layout changed, the new item selected.
#include "layout/window/LayoutButtons.h"

#include "common/ChooserRequests.h"
#include "layout/window/DropTreeCtrl.h"

namespace {

// The file-system root ("/", "//") is not inserted by Add Folder.
bool IsRootOrEmpty(const std::string& path) {
  return path.find_first_not_of('/') == std::string::npos;
}

}  // namespace

void LayoutButtons::AddFiles(bool media) {
  m_tree.ClearHint();
  std::vector<std::string> paths;
  if (m_chooser.ChooseFiles(AddFilesRequest(media), paths)) {
    const InsertReport report = AddFromDisk(m_tree.Model(), paths, LayoutModel::TOP_LEVEL, media);
    for (const int item : report.inserted) {
      if (item > 0) {
        m_tree.SelectItem(m_tree.ItemOf(item));
      } else {
        m_tree.Unselect();  // the file had vanished: nothing was created
      }
    }
    m_tree.ShowReport(report);
  }
  m_tree.Refresh();
  m_tree.Update();
}

void LayoutButtons::AddFolder() {
  m_tree.ClearHint();
  std::string path;
  if (!m_chooser.ChooseFolder(path) || IsRootOrEmpty(path)) return;
  InsertReport report;
  {
    CDropTreeCtrl::Insertion inserting(m_tree);
    report = AddFromDisk(m_tree.Model(), {path}, LayoutModel::TOP_LEVEL);
  }
  const wxTreeItemId selected = m_tree.ItemOf(SelectionAfterInsert(report, LayoutModel::TOP_LEVEL));
  if (selected.IsOk()) {
    m_tree.SelectItem(selected);
  } else {
    m_tree.Unselect();
  }
  m_tree.ShowReport(report);
}

void LayoutButtons::MakeFolder() {
  m_tree.MakeFolder(wxTreeItemId(), true);
}

void LayoutButtons::Remove() {
  m_tree.RemoveItem(m_tree.SelectedItem(), false);
}

void LayoutButtons::ToggleForm2() {
  m_tree.ToggleForm2(m_tree.SelectedItem());
}
