#include "app/MessageBox.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "app/TextCodec.h"
#include "app/Texts.h"

wxString ProgramName() {
  return PROGRAM_NAME;
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
  ShowMessage(MSG_CANNOT_FIND + ToDisplay(path), parent);
}
