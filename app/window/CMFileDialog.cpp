#include "app/window/CMFileDialog.h"

#include "common/FileFilter.h"
#include "common/Texts.h"
#include "common/window/Translation.h"

namespace {

long StyleFor(bool openMode, bool multiple, bool mustExist) {
  if (!openMode) return wxFD_SAVE;  // names that do not exist yet are accepted
  long style = wxFD_OPEN;
  if (multiple) style |= wxFD_MULTIPLE;
  if (mustExist) style |= wxFD_FILE_MUST_EXIST;
  return style;
}

wxString DefaultTitle(bool openMode) {
  return Tr(openMode ? TITLE_OPEN : TITLE_SAVE_AS);
}

std::string Bytes(const wxString& path) {
  const wxCharBuffer buffer = path.fn_str();
  return std::string(buffer.data(), buffer.length());
}

}  // namespace

CMFileDialog::CMFileDialog(const FileDialogRequest& request, wxWindow* parent)
    : wxFileDialog(parent, request.title.empty() ? DefaultTitle(request.openMode) : Tr(request.title.c_str()),
                   wxEmptyString, wxEmptyString, TrWildcard(request.filter.c_str()),
                   StyleFor(request.openMode, request.multiple, request.mustExist)),
      m_openMode(request.openMode),
      m_defaultExtension(request.defaultExtension) {
  if (!request.proposedPath.empty()) SetPath(wxString(request.proposedPath.c_str(), *wxConvFileName));
}

std::vector<std::string> CMFileDialog::ChosenPaths() const {
  std::vector<std::string> paths;
  if (HasFdFlag(wxFD_MULTIPLE)) {
    wxArrayString chosen;
    GetPaths(chosen);
    for (const wxString& path : chosen) paths.push_back(Bytes(path));
  } else if (!GetPath().empty()) {
    paths.push_back(Bytes(GetPath()));
  }
  if (!m_openMode) {
    for (std::string& path : paths) path = WithDefaultExtension(path, m_defaultExtension);
  }
  return paths;
}
