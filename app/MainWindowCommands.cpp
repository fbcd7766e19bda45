// The main window's own commands: Exit (and every other way of closing),
// the "..." image-target chooser, the About box, and the volume name that is
// upper-cased while it is typed.
#include <wx/button.h>
#include <wx/textctrl.h>

#include "app/AboutDialog.h"
#include "app/FileFilter.h"
#include "app/MainDialog.h"

void MainDialog::OnExit() {
  // The states are told apart by the Write ISO button: disabled means a run.
  if (m_writeIsoButton->IsEnabled()) {
    SetReturnCode(wxID_CANCEL);  // also when the window runs without a modal loop
    EndDialog(wxID_CANCEL);
  } else {
    EndRun();
  }
}

void MainDialog::OnClose(wxCloseEvent& event) {
  if (!event.CanVeto()) {
    event.Skip();
    return;
  }
  // The close box and Alt+F4 do what Exit does; during a run they only stop it.
  OnExit();
  event.Veto();
}

void MainDialog::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_F1 && event.GetModifiers() == wxMOD_NONE) {
    ShowAbout();
    return;
  }
  event.Skip();  // Escape reaches the dialog, which sends it to Exit
}

void MainDialog::ShowAbout() {
  AboutDialog about(this);
  about.ShowModal();
}

void MainDialog::OnChooseImageTarget() {
  FileDialogRequest request;
  request.openMode = false;
  request.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
  request.filter = CHOOSER_FILTER;
  std::vector<std::string> paths;
  if (!m_chooser->ChooseFiles(request, paths) || paths.empty()) return;
  // The name is taken as chosen; m_imageTarget follows the edit at each build.
  SetImagePathText(paths.front());
  m_iniImageTarget = paths.front();
}

void MainDialog::OnVolumeNameText() {
  if (m_upperCasing) return;
  const wxString text = m_volumeName->GetValue();
  const wxString upper = text.Upper();
  if (upper == text) return;
  m_upperCasing = true;
  const long insertion = m_volumeName->GetInsertionPoint();
  m_volumeName->ChangeValue(upper);
  m_volumeName->SetInsertionPoint(insertion);
  m_upperCasing = false;
}
