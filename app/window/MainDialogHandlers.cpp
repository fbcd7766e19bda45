// What the main window does when a button is pressed or a key typed: Exit (and
// every other way of closing), the "..." image-target chooser, the About box,
// the volume name upper-cased while it is typed, the layout buttons, Write
// ISO and its timer, View Cmd Line, Generate Batch, Save and Load with the
// options a loaded layout file sets.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include <utility>

#include "app/window/AboutDialog.h"
#include "app/window/MainDialog.h"
#include "common/ChooserRequests.h"
#include "common/window/TextCodec.h"
#include "content/window/LayoutFile.h"
#include "image/DiscFit.h"
#include "image/window/CommandLineView.h"
#include "image/window/DiscPlanView.h"
#include "image/window/ImageRun.h"
#include "image/window/OpenImageCommand.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/window/LayoutButtons.h"

namespace {

// A command that has used what the build made lets it go: for a full layout
// the entries are some 7 MB.
void LetGo(CommandLine& entries) {
  entries = CommandLine();
}

}  // namespace

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
  std::vector<std::string> paths;
  if (!m_chooser->ChooseFiles(ImageTargetRequest(), paths) || paths.empty()) return;
  // The name is taken as chosen; m_imageTarget follows the edit at each build.
  ImageOptions options = ReadOptions();
  ChooseTarget(options, paths.front());
  ShowOptions(options);
}

// A typed text that names one of the levels (in any case) selects it.
void MainDialog::OnIsoLevelText() {
  const int named = m_isoLevel->FindString(m_isoLevel->GetValue());
  if (named != wxNOT_FOUND && named != m_isoLevel->GetSelection()) m_isoLevel->SetSelection(named);
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

// ---- the layout buttons ----

void MainDialog::OnAddFiles() { m_layoutButtons->AddFiles(false); }
void MainDialog::OnAddMediaFiles() { m_layoutButtons->AddFiles(true); }
void MainDialog::OnAddFolder() { m_layoutButtons->AddFolder(); }
void MainDialog::OnMakeFolder() { m_layoutButtons->MakeFolder(); }
void MainDialog::OnRemove() { m_layoutButtons->Remove(); }
void MainDialog::OnToggleForm2() { m_layoutButtons->ToggleForm2(); }

// ---- the image run ----

void MainDialog::OnWriteIso() {
  // A run starts only from Idle (the Enter key must not start a second one).
  if (!m_writeIsoButton->IsEnabled()) return;
  m_keepSizes = true;
  const bool built = BuildCommandLine();
  m_keepSizes = false;
  if (!built) return;
  // The image is planned with the sizes just looked up.
  PlanRequest request;
  request.args = PlanArguments(m_entries);
  request.sizes = std::exchange(m_fileSizes, {});
  const PlanResult plan = m_discPlan->PlanNow(std::move(request));
  std::optional<PlannedBytes> planned;
  if (!plan.error) {
    planned = PlannedBytes{std::uint64_t{plan.summary.totalSectors} * disc::SECTOR_SIZE, plan.summary.cueBytes};
  }
  m_imageRun->Start(m_toolPath, m_entries, m_totalSize, m_imageTarget, m_viewPrompt->IsChecked(), planned);
  // The tool has its arguments (or was not started): the entries are not
  // kept for the length of the run.
  LetGo(m_entries);
  // The disabled button takes no keys: the focus goes to the layout, so that
  // Escape (Stop) and the other keys still reach the window during the run.
  if (IsRunning()) {
    const wxWindow* focus = FindFocus();
    if (!focus || focus == m_writeIsoButton) m_tree->SetFocus();
  }
}

void MainDialog::OnTimer() {
  m_imageRun->Tick();
  m_openImage->Tick();
}

void MainDialog::EndRun() {
  if (m_openImage->IsRunning()) {
    m_openImage->End();
  } else {
    m_imageRun->End();
  }
}

bool MainDialog::IsRunning() const {
  return m_imageRun->IsRunning() || m_openImage->IsRunning();
}

ToolProcess* MainDialog::CurrentRun() const {
  return m_openImage->IsRunning() ? m_openImage->Current() : m_imageRun->Current();
}

void MainDialog::OpenDiscImage(const std::string& imagePath) {
  m_openImage->Open(m_toolPath, imagePath);
}

// ---- the command line ----

void MainDialog::OnViewCmdLine() {
  if (!BuildCommandLine()) return;
  ViewCommandLine(m_entries, m_totalSize, this);
  LetGo(m_entries);
}

void MainDialog::OnGenerateBatch() {
  if (BuildCommandLine()) GenerateBatch(m_entries, m_imageTarget, this);
  LetGo(m_entries);
}

// ---- the layout file ----

void MainDialog::OnSave() {
  m_layoutFile->Save(BuildCommandLine() ? &m_entries : nullptr);
  LetGo(m_entries);
}

void MainDialog::OnLoad() {
  std::vector<StructureAction> options;
  if (m_layoutFile->Load(options)) ApplyLoadedOptions(options);
}

void MainDialog::LoadLayoutFile(const std::string& path) {
  std::vector<StructureAction> options;
  if (m_layoutFile->LoadFile(path, options)) ApplyLoadedOptions(options);
}

void MainDialog::ApplyLoadedOptions(const std::vector<StructureAction>& options) {
  ImageOptions shown = ReadOptions();
  ApplyStructureOptions(shown, options);
  ShowOptions(shown);
}
