#include "app/window/DialogChooser.h"

#include <wx/dirdlg.h>
#include <wx/filefn.h>
#include <wx/utils.h>

#include "app/window/CMFileDialog.h"

bool DialogChooser::ChooseFiles(const FileDialogRequest& request,
                                std::vector<std::string>& paths) {
  CMFileDialog dialog(request, m_parent);
  if (dialog.ShowModal() != wxID_OK) return false;
  paths = dialog.ChosenPaths();
  return !paths.empty();
}

bool DialogChooser::ChooseFolder(std::string& path) {
  // A folder chooser with no start folder shows "Recent", where a typed path
  // is ignored: start in the user's home folder.
  wxString start = wxGetHomeDir();
  if (start.empty() || !wxDirExists(start)) start = wxGetCwd();
  wxDirDialog dialog(m_parent, wxDirSelectorPromptStr, start, wxDD_DEFAULT_STYLE);
  if (dialog.ShowModal() != wxID_OK) return false;
  const wxCharBuffer chosen = dialog.GetPath().fn_str();
  path.assign(chosen.data(), chosen.length());
  return !path.empty();
}
