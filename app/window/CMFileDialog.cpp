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

CMFileDialog::CMFileDialog(bool openMode, const std::string& defaultExtension,
                           const std::string& fileName, bool multiple, bool mustExist,
                           const std::string& filter, wxWindow* parent)
    : wxFileDialog(parent, DefaultTitle(openMode), wxEmptyString,
                   wxString(fileName.c_str(), *wxConvFileName),
                   TrWildcard(filter.c_str()), StyleFor(openMode, multiple, mustExist)),
      m_openMode(openMode),
      m_defaultExtension(defaultExtension) {}

void CMFileDialog::SetDialogTitle(const std::string& title) {
  SetMessage(Tr(title.c_str()));  // the message is the dialog's title
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
