// Placeholder: filled in by its own change.
#include "layout/DropTreeCtrl.h"

#include <wx/imaglist.h>

wxIMPLEMENT_DYNAMIC_CLASS(CDropTreeCtrl, wxTreeCtrl);

CDropTreeCtrl::CDropTreeCtrl() {}
CDropTreeCtrl::CDropTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size, long style)
    : wxTreeCtrl(parent, id, pos, size, style) {}
CDropTreeCtrl::~CDropTreeCtrl() = default;
