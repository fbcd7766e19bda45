// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

wxTreeItemId CDropTreeCtrl::InsertPath(const std::string&, wxTreeItemId parent, bool) { return parent; }
