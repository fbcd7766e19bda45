// Add Folder: a folder picked in the folder browser enters the layout at the
// top level, with everything below it, and is selected.
#include <wx/wupdlock.h>

#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

namespace {

// The file-system root ("/", "//") is not inserted by Add Folder.
bool IsRootOrEmpty(const std::string& path) {
  return path.find_first_not_of('/') == std::string::npos;
}

}  // namespace

void MainDialog::OnAddFolder() {
  m_tree->ClearHint();
  m_tree->BeginInsertCommand();
  std::string path;
  if (!m_chooser->ChooseFolder(path) || IsRootOrEmpty(path)) return;
  wxTreeItemId item;
  {
    wxWindowUpdateLocker noRedraw(m_tree);
    item = m_tree->InsertPath(path, wxTreeItemId());
  }
  if (item.IsOk()) {
    m_tree->SelectItem(item);
  } else {
    m_tree->Unselect();
  }
}
