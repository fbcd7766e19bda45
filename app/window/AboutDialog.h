// The About box: the program's icon, its version text and OK.
#pragma once

#include <wx/dialog.h>

class AboutDialog : public wxDialog {
 public:
  explicit AboutDialog(wxWindow* parent);
};
