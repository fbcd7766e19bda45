// The one file dialog class, made from what a command asks for: open or save
// mode, a default extension, the program's filter texts ("desc|pattern|...||"),
// an optional title and a proposed path. A multiple selection yields full
// paths in the dialog's order.
#pragma once

#include <wx/filedlg.h>

#include <string>
#include <vector>

#include "common/FileChooser.h"

class CMFileDialog : public wxFileDialog {
 public:
  explicit CMFileDialog(const FileDialogRequest& request, wxWindow* parent = nullptr);

  // The chosen full paths (one in single selection), in the dialog's order.
  // In save mode a name typed without extension gets the default extension.
  std::vector<std::string> ChosenPaths() const;

 private:
  bool m_openMode;
  std::string m_defaultExtension;
};
