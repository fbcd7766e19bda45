// The main window's buttons that edit the layout: they act on the tree's
// selection (Make Folder always on the top level).
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnMakeFolder() {
  m_tree->MakeFolder(wxTreeItemId(), true);
}

void MainDialog::OnRemove() {
  m_tree->RemoveItem(m_tree->SelectedItem(), false);
}

void MainDialog::OnToggleForm2() {
  m_tree->ToggleForm2(m_tree->SelectedItem());
}
