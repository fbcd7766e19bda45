// Placeholder: filled in by its own change.
#include "layout/FolderNameDialog.h"

CFolderName::CFolderName(wxWindow* parent) { Create(parent); }
CFolderName::CFolderName(wxWindow* parent, const std::string& n) : m_isRename(true), m_name(n) { Create(parent); }
void CFolderName::Create(wxWindow*) {}
void CFolderName::OnOK() {}
void CFolderName::OnShow(wxShowEvent&) {}
