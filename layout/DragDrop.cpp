// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

wxTreeItemId CDropTreeCtrl::CopyItem(wxTreeItemId, wxTreeItemId) { return {}; }
void CDropTreeCtrl::MoveItem(wxTreeItemId, wxTreeItemId) {}
void CDropTreeCtrl::DropPaths(const std::vector<std::string>&) {}
void CDropTreeCtrl::OnMouseMove(wxMouseEvent& e) { e.Skip(); }
void CDropTreeCtrl::OnBeginDrag(wxTreeEvent&) {}
void CDropTreeCtrl::OnLButtonUp(wxMouseEvent& e) { e.Skip(); }
void CDropTreeCtrl::OnDropFiles(wxDropFilesEvent&) {}
