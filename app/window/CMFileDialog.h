// The one file dialog class: open or save mode, a default extension, the
// program's filter texts ("desc|pattern|...||") and an optional title. A
// multiple selection yields full paths in the dialog's order.
#pragma once

#include <wx/filedlg.h>

#include <string>
#include <vector>

class CMFileDialog : public wxFileDialog {
 public:
  CMFileDialog(bool openMode, const std::string& defaultExtension,
               const std::string& fileName, bool multiple, bool mustExist,
               const std::string& filter, wxWindow* parent = nullptr);

  void SetDialogTitle(const std::string& title);

  // The chosen full paths (one in single selection), in the dialog's order.
  // In save mode a name typed without extension gets the default extension.
  std::vector<std::string> ChosenPaths() const;

 private:
  bool m_openMode;
  std::string m_defaultExtension;
};
