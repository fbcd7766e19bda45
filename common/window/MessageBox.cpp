#include "common/window/MessageBox.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "common/window/Translation.h"

namespace {

std::string& ProgramNameBytes() {
  static std::string name = PROGRAM_NAME;
  return name;
}

}  // namespace

wxString ProgramName() {
  return ToDisplay(ProgramNameBytes());
}

void SetProgramName(const std::string& name) {
  if (!name.empty()) ProgramNameBytes() = name;
}

void ShowMessage(const wxString& text, wxWindow* parent) {
  wxMessageDialog box(parent, text, ProgramName(), wxOK | wxICON_NONE | wxCENTRE);
  box.ShowModal();
}

bool AskYesNo(const wxString& text, wxWindow* parent) {
  wxMessageDialog box(parent, text, ProgramName(), wxYES_NO | wxICON_EXCLAMATION | wxCENTRE);
  return box.ShowModal() == wxID_YES;
}

void ShowCannotFind(const std::string& path, wxWindow* parent) {
  ShowMessage(wxString::Format(Tr(MSG_CANNOT_FIND), ToDisplay(path)), parent);
}
