// The main window: built from its template, its controls looked up once, its
// commands bound, and the initialisation sequence with the settings.
#include "app/window/MainDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "app/window/EndSignals.h"
#include "common/window/CompactEntry.h"
#include "common/window/FindControl.h"
#include "common/window/MessageBox.h"
#include "app/window/Resources.h"
#include "app/SettingsFile.h"
#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "app/window/TypedLimit.h"
#include "content/window/LayoutFile.h"
#include "image/BuildEntries.h"
#include "image/DiscFit.h"
#include "image/window/DiscPlanView.h"
#include "image/ImagePlanWorker.h"
#include "image/window/ImageRun.h"
#include "image/window/OpenImageCommand.h"
#include "image/window/ToolProcess.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/window/LayoutButtons.h"
#include "common/window/Translation.h"

namespace {

constexpr int FORM2_EXT_TYPED_LIMIT = 4;
// The template's 340 x 239, and below the buttons the plan line.
const wxSize CLIENT_SIZE_DU(340, 249);

// Template names of the controls and the ids the program gives them.
struct ControlId {
  const char* name;
  int id;
};
constexpr ControlId CONTROL_IDS[] = {
    {"ID_ADD_FILES", ID_ADD_FILES},         {"ID_ADD_MEDIA_FILES", ID_ADD_MEDIA_FILES},
    {"ID_MAKE_FOLDER", ID_MAKE_FOLDER},     {"ID_REMOVE", ID_REMOVE},
    {"ID_ADD_FOLDER", ID_ADD_FOLDER},       {"ID_SET_FORM2", ID_SET_FORM2},
    {"ID_ISO_LEVEL", ID_ISO_LEVEL},         {"ID_SINGLE_TRACK", ID_SINGLE_TRACK},
    {"ID_KEEP_EXTENSION", ID_KEEP_EXTENSION}, {"ID_VIEW_PROMPT", ID_VIEW_PROMPT},
    {"ID_SAVE", ID_SAVE},                   {"ID_LOAD", ID_LOAD},
    {"ID_IMAGE_PATH", ID_IMAGE_PATH},       {"ID_CHOOSE_TARGET", ID_CHOOSE_TARGET},
    {"ID_VOLUME_NAME", ID_VOLUME_NAME},     {"ID_FORM2_EXT", ID_FORM2_EXT},
    {"ID_REAL_PATH_LABEL", ID_REAL_PATH_LABEL}, {"ID_REAL_PATH", ID_REAL_PATH},
    {"ID_PROGRESS", ID_PROGRESS},           {"wxID_OK", ID_WRITE_ISO},
    {"ID_VIEW_CMD_LINE", ID_VIEW_CMD_LINE}, {"ID_GENERATE_BATCH", ID_GENERATE_BATCH},
    {"wxID_CANCEL", ID_EXIT},               {"ID_TREE", ID_TREE},
    {"ID_PLAN_LINE", ID_PLAN_LINE},
};

// The command of each button.
struct ButtonCommand {
  int id;
  void (MainDialog::*handler)();
};
constexpr ButtonCommand BUTTON_COMMANDS[] = {
    {ID_ADD_FILES, &MainDialog::OnAddFiles},
    {ID_ADD_MEDIA_FILES, &MainDialog::OnAddMediaFiles},
    {ID_ADD_FOLDER, &MainDialog::OnAddFolder},
    {ID_MAKE_FOLDER, &MainDialog::OnMakeFolder},
    {ID_REMOVE, &MainDialog::OnRemove},
    {ID_SET_FORM2, &MainDialog::OnToggleForm2},
    {ID_SAVE, &MainDialog::OnSave},
    {ID_LOAD, &MainDialog::OnLoad},
    {ID_CHOOSE_TARGET, &MainDialog::OnChooseImageTarget},
    {ID_WRITE_ISO, &MainDialog::OnWriteIso},
    {ID_VIEW_CMD_LINE, &MainDialog::OnViewCmdLine},
    {ID_GENERATE_BATCH, &MainDialog::OnGenerateBatch},
    {ID_EXIT, &MainDialog::OnExit},
};

// Shows bytes in an edit, which is left alone when it shows them already.
void ShowBytes(wxTextCtrl* edit, const std::string& bytes) {
  const wxString text = ToDisplay(bytes);
  if (edit->GetValue() != text) edit->ChangeValue(text);
}

bool PathExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

}  // namespace

MainDialog::MainDialog(wxWindow* parent, std::string startupDir,
                       std::unique_ptr<FileChooser> chooser)
    : MainDialog(parent, PlacesInFolder(startupDir), std::move(chooser)) {}

MainDialog::MainDialog(wxWindow* parent, StartupPlaces places, std::unique_ptr<FileChooser> chooser)
    : m_startupDir(places.settingsDir),
      m_places(std::move(places)),
      m_layout(std::make_unique<LayoutModel>()),
      m_timer(this, RUN_TIMER_ID),
      m_chooser(std::move(chooser)) {
  LoadTemplate(parent);
  LookUpControls();
  m_layoutFile = std::make_unique<LayoutFileCommands>(*m_tree, *m_chooser, this);
  m_imageRun = std::make_unique<ImageRunCommand>(this, m_progress, m_writeIsoButton, m_exitButton);
  m_openImage = std::make_unique<OpenImageCommand>(this, *m_chooser, m_progress, m_writeIsoButton, m_exitButton,
                                                   [this](const std::string& layout) { LoadLayoutFile(layout); });
  m_layoutButtons = std::make_unique<LayoutButtons>(*m_tree, *m_chooser);
  m_discPlan = std::make_unique<DiscPlanView>(this, m_planLine, [this] { return PlanSnapshot(); },
                                              // Called on the planner's thread only.
                                              [lookUp = std::make_shared<PathLookUps>()](
                                                  const std::string& path) -> std::optional<std::uint64_t> {
                                                const std::optional<DiskEntry> e = (*lookUp)(path);
                                                if (!e || e->kind != DiskKind::File) return std::nullopt;
                                                return e->size;
                                              });
  m_imageRun->SetPlanView(m_discPlan.get());
  BindCommands();
}

MainDialog::~MainDialog() {
  if (m_initialized) RouteEndSignals(nullptr);
  m_timer.Stop();
  m_imageRun->SetPlanView(nullptr);
  m_tree->SetLayoutListener(nullptr);
  m_tree->SetNamesEntry(nullptr, nullptr);
  m_tree->SetOpenImageEntry(nullptr, nullptr);
  m_discPlan.reset();  // its thread ends before the controls go
  if (m_initialized) SaveSettings();
  // The tree shows the layout model: it goes before the model does.
  DestroyChildren();
}

void MainDialog::LoadTemplate(wxWindow* parent) {
  LoadResources();
  if (!wxXmlResource::Get()->LoadDialog(this, parent, wxT("IDD_MAIN"))) {
    throw std::logic_error("main window template IDD_MAIN missing");
  }
  for (const ControlId& control : CONTROL_IDS) {
    wxWindow* window = FindWindow(wxXmlResource::GetXRCID(control.name));
    if (!window) throw std::logic_error(std::string("main window template: ") + control.name + " missing");
    window->SetId(control.id);
  }
  SetClientSize(ConvertDialogToPixels(CLIENT_SIZE_DU));
  FitTextsToFont();
  Centre();  // first placed in the middle of the screen; the place is not stored
}

// Dialog units follow the font, but text widths do not scale exactly with
// them: a label or check box narrower than its own text is widened, so that
// no caption is cut or wrapped. A widened label that would run into the
// control on its right moves left into free space, as far as there is some.
void MainDialog::FitTextsToFont() {
  for (wxWindow* child : GetChildren()) {
    if (!dynamic_cast<wxStaticText*>(child) && !dynamic_cast<wxCheckBox*>(child)) continue;
    wxRect rect = child->GetRect();
    const int best = child->GetBestSize().x;
    if (best <= rect.width) continue;
    rect.width = best;
    int freeLeft = 0;  // right edge of the nearest control on the left, same row
    int overlap = 0;
    for (wxWindow* other : GetChildren()) {
      const wxRect o = other->GetRect();
      if (other == child || o.GetBottom() < rect.GetTop() || o.GetTop() > rect.GetBottom()) continue;
      if (o.GetRight() < child->GetPosition().x) freeLeft = std::max(freeLeft, o.GetRight() + 1);
      if (o.x > child->GetPosition().x && o.x <= rect.GetRight()) {
        overlap = std::max(overlap, rect.GetRight() + 1 - o.x);
      }
    }
    rect.x = std::max(freeLeft, rect.x - overlap);
    child->SetSize(rect);
  }
}

void MainDialog::LookUpControls() {
  m_form2Ext = FindControl<wxTextCtrl>(this, ID_FORM2_EXT);
  MakeCompactEntry(*m_form2Ext);  // four characters in 22 dialog units
  m_imagePath = FindControl<wxTextCtrl>(this, ID_IMAGE_PATH);
  m_volumeName = FindControl<wxTextCtrl>(this, ID_VOLUME_NAME);
  m_viewPrompt = FindControl<wxCheckBox>(this, ID_VIEW_PROMPT);
  m_keepExtension = FindControl<wxCheckBox>(this, ID_KEEP_EXTENSION);
  m_singleTrack = FindControl<wxCheckBox>(this, ID_SINGLE_TRACK);
  m_progress = FindControl<wxGauge>(this, ID_PROGRESS);
  m_writeIsoButton = FindControl<wxButton>(this, ID_WRITE_ISO);
  m_exitButton = FindControl<wxButton>(this, ID_EXIT);
  m_isoLevel = FindControl<wxComboBox>(this, ID_ISO_LEVEL);
  m_realPath = FindControl<wxTextCtrl>(this, ID_REAL_PATH);
  m_tree = FindControl<CDropTreeCtrl>(this, ID_TREE);
  m_planLine = FindControl<wxStaticText>(this, ID_PLAN_LINE);
  m_tree->Attach(*m_layout, m_realPath, FindControl<wxButton>(this, ID_REMOVE));
  // The two read-only edits are no tab stops.
  m_imagePath->DisableFocusFromKeyboard();
  m_realPath->DisableFocusFromKeyboard();
}

void MainDialog::BindCommands() {
  for (const ButtonCommand& command : BUTTON_COMMANDS) {
    auto handler = command.handler;
    Bind(wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); }, command.id);
  }
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); }, RUN_TIMER_ID);
  Bind(wxEVT_CHAR_HOOK, &MainDialog::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &MainDialog::OnClose, this);
  m_volumeName->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
    OnVolumeNameText();
    event.Skip();
  });
  m_isoLevel->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
    event.Skip();
    // After GTK has finished with the typed text, which unselects the entry.
    CallAfter([this] { OnIsoLevelText(); });
  });
  // What the image depends on: the layout and the options that change sizes or names.
  m_tree->SetLayoutListener([this](bool replaced) {
    if (replaced) m_discPlan->LayoutReplaced();
    else m_discPlan->Changed();
  });
  m_tree->SetNamesEntry([this] { return m_discPlan->HasNameChanges(); }, [this] { m_discPlan->ShowNames(); });
  m_tree->SetOpenImageEntry([this] { return !IsRunning(); }, [this] { OpenDiscImage(); });
  auto changed = [this](wxCommandEvent& event) {
    m_discPlan->Changed();
    event.Skip();
  };
  m_form2Ext->Bind(wxEVT_TEXT, changed);
  m_keepExtension->Bind(wxEVT_CHECKBOX, changed);
  m_singleTrack->Bind(wxEVT_CHECKBOX, changed);
  m_isoLevel->Bind(wxEVT_COMBOBOX, changed);
  m_isoLevel->Bind(wxEVT_TEXT, changed);
}

bool MainDialog::Initialize() {
  SetIcons(AppIcons());
  m_tree->ResetTree();
  m_timer.Start(RUN_TIMER_PERIOD_MS);
  LimitTypedLength(m_form2Ext, FORM2_EXT_TYPED_LIMIT);
  for (const char* choice : ISO_LEVEL_CHOICES) m_isoLevel->Append(Tr(choice));
  m_iniPath = m_places.settingsDir + "/gui.ini";
  m_toolPath = m_places.toolPath;
  if (!PathExists(m_toolPath)) {
    ShowMessage(Tr(MSG_TOOL_MISSING));
    return false;
  }
  ShowOptions(OptionsAtStart(LoadSettingsFile(m_iniPath, m_places.targetDir)));
  m_tree->Refresh(true);
  m_tree->Update();
  m_initialized = true;
  RouteEndSignals(this);
  FindWindow(ID_ADD_FILES)->SetFocus();
  return true;
}

ImageOptions MainDialog::ReadOptions() const {
  ImageOptions options = m_shown;
  CommandSettings& command = options.command;
  command.imagePath = BytesOfShown(m_imagePath->GetValue(), m_shown.command.imagePath);
  command.volumeName = BytesOfShown(m_volumeName->GetValue(), m_shown.command.volumeName);
  command.form2Ext = BytesOfShown(m_form2Ext->GetValue(), m_shown.command.form2Ext);
  command.keepExtension = m_keepExtension->IsChecked();
  command.singleTrack = m_singleTrack->IsChecked();
  command.isoLevelIndex = m_isoLevel->GetSelection();
  options.viewPrompt = m_viewPrompt->IsChecked();
  return options;
}

void MainDialog::ShowOptions(const ImageOptions& options) {
  m_shown = options;
  ShowBytes(m_imagePath, options.command.imagePath);
  ShowBytes(m_volumeName, options.command.volumeName);
  ShowBytes(m_form2Ext, options.command.form2Ext);
  m_keepExtension->SetValue(options.command.keepExtension);
  m_singleTrack->SetValue(options.command.singleTrack);
  m_viewPrompt->SetValue(options.viewPrompt);
  if (m_isoLevel->GetSelection() != options.command.isoLevelIndex) m_isoLevel->SetSelection(options.command.isoLevelIndex);
}

void MainDialog::SaveSettings() {
  const ImageOptions options = ReadOptions();
  // A settings file that cannot be written is not reported.
  if (m_places.perUser) MakeSettingsFolder(m_places.settingsDir);
  SaveSettingsFile(m_iniPath, options.settingsTarget, ChecksToKeep(options));
}

bool MainDialog::BuildCommandLine() {
  // What an earlier build made goes before the new one is made, so that the
  // two are never held at once.
  m_entries = CommandLine();
  m_fileSizes = std::vector<std::uint64_t>();
  const CommandSettings settings = ReadOptions().command;
  m_imageTarget = settings.imagePath;

  // Each file is looked up on disk now; for Write ISO the layout remembers
  // the sizes found, and its plan is made with them.
  const std::vector<std::uint64_t> sizes = LookUpLayoutFiles(*m_layout);
  EntryBuild build = BuildEntries(*m_layout, settings, [this, &sizes](int index, const std::string&) {
    const std::uint64_t size = sizes[static_cast<std::size_t>(index)];
    if (size == NOT_A_FILE) return std::optional<DiskEntry>();
    if (m_keepSizes) m_layout->RememberSize(index, size);
    return std::optional<DiskEntry>(DiskEntry{DiskKind::File, size, 0, 0});
  });
  m_entries = std::move(build.entries);
  m_totalSize = build.totalSize;
  if (build.status == EntryBuildStatus::Missing) ShowCannotFind(build.missingPath, this);
  if (build.status != EntryBuildStatus::Built) return false;
  if (m_keepSizes) m_fileSizes = std::move(build.fileSizes);
  return true;
}

std::optional<PlanRequest> MainDialog::PlanSnapshot() const {
  // No look-up here: the sizes are the ones the layout knows; the planner's
  // thread finds the others.
  EntryBuild build = BuildEntries(*m_layout, ReadOptions().command, [this](int index, const std::string&) {
    return std::optional<DiskEntry>(DiskEntry{DiskKind::File, m_layout->KnownSize(index).value_or(PlanRequest::UNKNOWN_SIZE), 0, 0});
  });
  if (build.status != EntryBuildStatus::Built) return std::nullopt;
  PlanRequest request;
  request.args = PlanArguments(std::move(build.entries));
  request.sizes = std::move(build.fileSizes);
  return request;
}
