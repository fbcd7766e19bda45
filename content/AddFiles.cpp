// Add Files and Add Media Files: files chosen in one dialog go to the end of
// the top level, in the dialog's order; the last one added stays selected.
#include "app/FileFilter.h"
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

namespace {

constexpr long ADD_FILES_FLAGS = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;

FileDialogRequest AddFilesRequest(bool media) {
  FileDialogRequest request;
  request.openMode = true;
  request.flags = ADD_FILES_FLAGS;
  request.filter = media ? MEDIA_FILTER : "";
  request.title = media ? "Open Video/Audio Files (Form2)" : "Open Files (Form1)";
  return request;
}

// Inserts each chosen file at the top level and selects it; media files are
// marked Form 2 when an item was actually created.
void AddChosenFiles(CDropTreeCtrl& tree, FileChooser& chooser, bool media) {
  tree.ClearHint();
  std::vector<std::string> paths;
  if (chooser.ChooseFiles(AddFilesRequest(media), paths)) {
    tree.BeginInsertCommand();
    for (const std::string& path : paths) {
      const wxTreeItemId item = tree.InsertPath(path, wxTreeItemId());
      if (!item.IsOk()) {
        tree.Unselect();  // the file had vanished: nothing was created
        continue;
      }
      tree.SelectItem(item);
      if (media) tree.MarkForm2(item);
    }
  }
  tree.Refresh();
  tree.Update();
}

}  // namespace

void MainDialog::OnAddFiles() {
  AddChosenFiles(*m_tree, *m_chooser, false);
}

void MainDialog::OnAddMediaFiles() {
  AddChosenFiles(*m_tree, *m_chooser, true);
}
