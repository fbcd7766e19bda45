// A limit on what the user can type or paste into an edit. Unlike
// wxTextCtrl::SetMaxLength (which on GTK also refuses a longer text set by the
// program, leaving the edit empty), texts the program sets are never cut.
#pragma once

#include <cstddef>

class wxTextCtrl;

void LimitTypedLength(wxTextCtrl* edit, std::size_t limit);
