// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void CDropTreeCtrl::RemoveItem(wxTreeItemId, bool) {}
void CDropTreeCtrl::RemoveAll() {}
void CDropTreeCtrl::ToggleForm2(wxTreeItemId) {}
void CDropTreeCtrl::ApplyForm2(wxTreeItemId, bool) {}
void CDropTreeCtrl::RenameFolder(wxTreeItemId) {}
void CDropTreeCtrl::MakeFolder(wxTreeItemId, bool) {}
void CDropTreeCtrl::BrowseFileFolder(wxTreeItemId) {}
std::string CDropTreeCtrl::FileFolderOf(const wxTreeItemId&) const { return {}; }
void CDropTreeCtrl::OpenContextMenu(const wxPoint&) {}
std::map<int, bool> CDropTreeCtrl::MenuStates(wxTreeItemId) const { return {}; }
void CDropTreeCtrl::RunMenuCommand(int) {}
void CDropTreeCtrl::OnRButtonDown(wxMouseEvent& e) { e.Skip(); }
void CDropTreeCtrl::OnKeyDown(wxTreeEvent& e) { e.Skip(); }
void CDropTreeCtrl::OnSelChanged(wxTreeEvent& e) { e.Skip(); }
void CDropTreeCtrl::OnMenuCommand(wxCommandEvent&) {}
