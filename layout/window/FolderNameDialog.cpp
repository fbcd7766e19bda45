// The folder name dialog (template IDD_FOLDER_NAME): one edit and OK. The
// name is checked on OK; a refused name leaves the dialog open for correction.
#include "layout/window/FolderNameDialog.h"

#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "layout/FolderNameRules.h"
#include "common/window/Translation.h"

namespace {

constexpr int ID_FOLDER_NAME_EDIT = 1011;
constexpr int DIALOG_WIDTH_DU = 186;
constexpr int DIALOG_HEIGHT_DU = 30;

}  // namespace

CFolderName::CFolderName(wxWindow* parent) { Create(parent); }

CFolderName::CFolderName(wxWindow* parent, const std::string& initialName)
    : m_isRename(true), m_initialName(initialName), m_name(initialName) {
  Create(parent);
}

void CFolderName::Create(wxWindow* parent) {
  if (!wxXmlResource::Get()->LoadDialog(this, parent, wxT("IDD_FOLDER_NAME"))) {
    wxFAIL_MSG(wxT("dialog template IDD_FOLDER_NAME is missing"));
    return;
  }
  m_edit = wxDynamicCast(FindWindow(ID_FOLDER_NAME_EDIT), wxTextCtrl);
  wxCHECK_RET(m_edit && FindWindow(wxID_OK), wxT("folder name dialog controls missing"));
  SetClientSize(ConvertDialogToPixels(wxSize(DIALOG_WIDTH_DU, DIALOG_HEIGHT_DU)));
  SetEscapeId(wxID_CANCEL);
  PrepareEdit();
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
  Bind(wxEVT_SHOW, &CFolderName::OnShow, this);
  Bind(wxEVT_CHAR_HOOK, &CFolderName::OnCharHook, this);
}

// The edit takes at most 500 characters; a rename starts with the old name
// selected, so that typing replaces it.
void CFolderName::PrepareEdit() {
  m_edit->SetMaxLength(FOLDER_NAME_EDIT_LIMIT);
  if (m_isRename) {
    m_edit->ChangeValue(ToDisplay(m_name).Left(FOLDER_NAME_READ_LIMIT));
    m_edit->SelectAll();
  }
}

void CFolderName::OnShow(wxShowEvent& event) {
  event.Skip();
  if (event.IsShown()) {
    PrepareEdit();
    m_edit->SetFocus();
  }
}

// There is no Cancel button: Esc leaves without OK.
void CFolderName::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_ESCAPE) {
    Finish(wxID_CANCEL);
    return;
  }
  event.Skip();
}

bool CFolderName::AcceptName() {
  // An old name left as it was keeps its bytes, also when they are not UTF-8.
  m_name = BytesOfShown(m_edit->GetValue().Left(FOLDER_NAME_READ_LIMIT), m_initialName);
  const FolderNameProblem problem = CheckFolderName(m_name);
  if (problem == FolderNameProblem::None) return true;
  ShowMessage(Tr(FolderNameMessage(problem)), this);
  m_edit->SetFocus();
  return false;
}

void CFolderName::OnOK() {
  if (AcceptName()) Finish(wxID_OK);
}

void CFolderName::Finish(int result) {
  SetReturnCode(result);
  EndDialog(result);
}
