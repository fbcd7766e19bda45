#include "image/window/OpenImageCommand.h"

#include <unistd.h>

#include <wx/button.h>
#include <wx/gauge.h>

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "image/DiscImageName.h"
#include "image/RunOutcome.h"
#include "image/window/ToolProcess.h"
#include "common/DiskEntry.h"
#include "common/window/Translation.h"

namespace {

constexpr int PERCENT_RANGE = 100;
constexpr int IMAGE_FAULTS_STATUS = 5;  // the layout is written; files were left out or damaged
constexpr std::size_t MAX_FAULT_LINES = 10;

}  // namespace

OpenImageCommand::OpenImageCommand(wxWindow* parent, FileChooser& chooser, wxGauge* progress,
                                   wxButton* writeIso, wxButton* exit, LoadLayout load)
    : m_parent(parent), m_chooser(chooser), m_progress(progress), m_writeIso(writeIso), m_exit(exit),
      m_load(std::move(load)) {}

OpenImageCommand::~OpenImageCommand() = default;

bool OpenImageCommand::ChooseImage(std::string& imagePath) {
  FileDialogRequest request;
  request.openMode = true;
  request.mustExist = true;
  request.filter = IMAGE_FILTER;
  request.title = TITLE_OPEN_IMAGE;
  std::vector<std::string> paths;
  if (!m_chooser.ChooseFiles(request, paths) || paths.empty()) return false;
  imagePath = paths.front();
  return true;
}

bool OpenImageCommand::ChooseFolder(const std::string& imagePath, std::string& folder) {
  FileDialogRequest request;
  request.openMode = false;
  request.title = TITLE_EXTRACT_FOLDER;
  request.proposedPath = ProposedExtractFolder(imagePath);
  std::vector<std::string> paths;
  if (!m_chooser.ChooseFiles(request, paths) || paths.empty()) return false;
  folder = paths.front();
  return true;
}

void OpenImageCommand::Open(const std::string& toolPath, const std::string& given) {
  if (IsRunning() || !m_writeIso->IsEnabled()) return;  // one run at a time
  std::string imagePath = given, folder;
  if (imagePath.empty() && !ChooseImage(imagePath)) return;
  if (!ChooseFolder(imagePath, folder)) return;
  const std::optional<DiskEntry> tool = LookUpPath(toolPath);
  if (!tool || tool->kind != DiskKind::File || access(toolPath.c_str(), X_OK) != 0) {
    ShowMessage(Tr(MSG_CANNOT_FIND_TOOL), m_parent);
    return;
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  // --extract IMAGE FOLDER: the folder follows the image as an argument of its own.
  const CommandLine arguments = {{"--extract", true, imagePath}, {folder, false, {}}};
  std::string reason;
  m_tool = ToolProcess::Start(toolPath, arguments, &reason);
  if (!m_tool) {
    ShowMessage(wxString::Format(Tr(MSG_CANNOT_START_TOOL), ToDisplay(reason)), m_parent);
    return;
  }
  m_layoutPath = folder + ".kbv";
  m_progress->SetRange(PERCENT_RANGE);
  m_progress->SetValue(0);
  m_exit->SetLabel(Tr(LABEL_STOP));
  m_writeIso->Disable();
}

void OpenImageCommand::Tick() {
  if (!m_tool) return;
  m_tool->Poll();
  m_progress->SetValue(std::min(m_tool->Percent(), PERCENT_RANGE));
  if (m_tool->HasEnded()) Finish();
}

// Status 0 loads the layout; 5 loads it too, after naming what is missing;
// anything else says why nothing was opened.
void OpenImageCommand::Finish() {
  const ToolEnd end = m_tool->End();
  const std::string errors = m_tool->ErrorOutput();
  End();
  if (!end.bySignal && end.code == IMAGE_FAULTS_STATUS) {
    ShowMessage(Tr(MSG_IMAGE_FAULTS) + ToDisplay("\n\n" + LastLines(errors, MAX_FAULT_LINES)), m_parent);
  } else if (const std::string failure = RunEndMessage(MSG_IMAGE_NOT_OPENED, end, errors); !failure.empty()) {
    ShowMessage(ToDisplay(failure), m_parent);
    return;
  }
  m_load(m_layoutPath);
}

void OpenImageCommand::End() {
  if (!m_tool) return;
  m_tool.reset();  // kills a tool that still runs
  m_exit->SetLabel(Tr(LABEL_EXIT));
  m_writeIso->Enable();
  m_progress->SetValue(0);
}
