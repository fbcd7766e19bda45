// The program's one window: the layout tree, the option controls, the progress
// bar and the command buttons. Handlers stay thin and call into the plain units.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/FileChooser.h"
#include "app/ImageOptions.h"
#include "app/StartupPlaces.h"
#include "common/CommandLine.h"

class wxTextCtrl;
class wxCheckBox;
class wxGauge;
class wxButton;
class wxComboBox;
class CDropTreeCtrl;
class LayoutModel;
class ToolProcess;
class LayoutFileCommands;
class ImageRunCommand;
class OpenImageCommand;
class LayoutButtons;
class DiscPlanView;
struct PlanResult;
struct PlanRequest;
class wxStaticText;
struct StructureAction;

// Control ids of the main window template.
enum MainControlId {
  ID_WRITE_ISO = wxID_OK,      // 1 "Write ISO"
  ID_EXIT = wxID_CANCEL,       // 2 "Exit" / "Stop"
  ID_VIEW_CMD_LINE = 3,
  ID_GENERATE_BATCH = 4,
  ID_SAVE = 5,
  ID_LOAD = 6,
  ID_TREE = 1000,
  ID_ADD_FILES = 1001,
  ID_SET_FORM2 = 1002,
  ID_PROGRESS = 1003,
  ID_REMOVE = 1004,
  ID_ADD_FOLDER = 1005,
  ID_REAL_PATH_LABEL = 1006,
  ID_VIEW_PROMPT = 1009,
  ID_KEEP_EXTENSION = 1010,
  ID_IMAGE_PATH = 1011,
  ID_VOLUME_NAME = 1012,
  ID_FORM2_EXT = 1013,
  ID_CHOOSE_TARGET = 1014,
  ID_REAL_PATH = 1015,
  ID_ADD_MEDIA_FILES = 1016,
  ID_MAKE_FOLDER = 1017,
  ID_ISO_LEVEL = 1018,
  ID_SINGLE_TRACK = 1019,
  ID_PLAN_LINE = 1020,  // the image's size and fit, or the run's time left
};

constexpr int RUN_TIMER_ID = 1;
constexpr int RUN_TIMER_PERIOD_MS = 1000;

class MainDialog : public wxDialog {
 public:
  // startupDir: the current directory when the window initialises (the tool
  // and gui.ini live there). chooser: how files and folders are picked.
  MainDialog(wxWindow* parent, std::string startupDir,
             std::unique_ptr<FileChooser> chooser);
  // places: where the tool, gui.ini and the default target are (the program
  // decides them at start from its current directory and executable).
  MainDialog(wxWindow* parent, StartupPlaces places, std::unique_ptr<FileChooser> chooser);
  ~MainDialog() override;

  // Runs the initialisation sequence. False when brenvox.exe is missing: the
  // message has been shown and the window must not be shown.
  bool Initialize();

  // Writes gui.ini (done on destruction of a window that initialised).
  void SaveSettings();

  // Command handlers (also called directly by tests).
  void OnAddFiles();
  void OnAddMediaFiles();
  void OnAddFolder();
  void OnMakeFolder();
  void OnRemove();
  void OnToggleForm2();
  void OnSave();
  void OnLoad();
  // Open Disc Image: extracts an image (the user chooses it when imagePath
  // is empty) and loads the layout that rebuilds it.
  void OpenDiscImage(const std::string& imagePath = {});
  // Load's work on a chosen file: its messages, its rules.
  void LoadLayoutFile(const std::string& path);
  void OnChooseImageTarget();
  void OnWriteIso();
  void OnViewCmdLine();
  void OnGenerateBatch();
  void OnExit();
  void OnTimer();
  void EndRun();
  void ShowAbout();

  // Composes the option string from the controls and the tree into
  // m_entries / m_totalSize / m_imageTarget. False when the tree
  // is empty or a file is missing (the missing file has been reported).
  bool BuildCommandLine();

  // The parts of the window that other parts, tests and benches reach (controls by id: FindControl).
  ToolProcess* CurrentRun() const;
  ImageRunCommand& ImageRun() const { return *m_imageRun; }
  DiscPlanView& DiscPlan() const { return *m_discPlan; }

 private:
  bool IsRunning() const;
  void LoadTemplate(wxWindow* parent);
  void FitTextsToFont();
  void LookUpControls();
  void BindCommands();
  void OnVolumeNameText();
  void OnIsoLevelText();
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void ApplyLoadedOptions(const std::vector<StructureAction>& options);
  // The options the controls show. An edit's text that is as it was put
  // there gives back the bytes it was shown from (a name that is not UTF-8
  // shows decoded); an edited text is taken as it shows.
  ImageOptions ReadOptions() const;
  // Puts the options into the controls.
  void ShowOptions(const ImageOptions& options);
  // The tool's arguments for the plan line with the sizes the layout knows;
  // nothing for an empty layout.
  std::optional<PlanRequest> PlanSnapshot() const;
  CDropTreeCtrl* m_tree = nullptr;
  CommandLine m_entries;       // the entries the string and argv are made from
  std::string m_startupDir;  // the folder of gui.ini: the start-up directory when the tool is there
  StartupPlaces m_places;
  std::unique_ptr<LayoutModel> m_layout;  // shown by m_tree
  std::string m_toolPath;
  std::string m_imageTarget;  // the target of the last build
  std::string m_iniPath;
  ImageOptions m_shown;  // as last put into the controls: the bytes behind the edits, gui.ini's target
  wxTextCtrl* m_form2Ext = nullptr;
  wxTextCtrl* m_imagePath = nullptr;
  wxTextCtrl* m_volumeName = nullptr;
  wxTextCtrl* m_realPath = nullptr;
  wxCheckBox* m_viewPrompt = nullptr;
  wxCheckBox* m_keepExtension = nullptr;
  wxGauge* m_progress = nullptr;
  wxButton* m_writeIsoButton = nullptr;
  wxButton* m_exitButton = nullptr;
  bool m_initialized = false;
  bool m_upperCasing = false;
  std::int64_t m_totalSize = 0;
  wxComboBox* m_isoLevel = nullptr;
  wxCheckBox* m_singleTrack = nullptr;
  wxTimer m_timer;
  std::unique_ptr<FileChooser> m_chooser;
  std::unique_ptr<LayoutFileCommands> m_layoutFile;
  std::unique_ptr<ImageRunCommand> m_imageRun;
  std::unique_ptr<OpenImageCommand> m_openImage;
  std::unique_ptr<LayoutButtons> m_layoutButtons;
  wxStaticText* m_planLine = nullptr;
  std::vector<std::uint64_t> m_fileSizes;  // looked up by Write ISO's build, in entry order
  bool m_keepSizes = false;  // while Write ISO builds
  std::unique_ptr<DiscPlanView> m_discPlan;
};
