// Write ISO: pass the run's gate with the window's questions, start brenvox.exe and follow the growing image file from the
// window's timer until the tool ends, or until Stop kills it.
#include "image/window/ImageRun.h"

#include <malloc.h>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/toplevel.h>

#include "common/DiskEntry.h"
#include "common/Texts.h"
#include "common/WholeFile.h"
#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "image/RunGate.h"
#include "image/window/DesktopNotice.h"
#include "image/window/DiscPlanView.h"
#include "image/window/ToolConsole.h"
#include "image/window/ToolProcess.h"
#include "common/window/Translation.h"


ImageRunCommand::ImageRunCommand(wxWindow* parent, wxGauge* progress, wxButton* writeIso,
                                 wxButton* exit)
    : m_parent(parent),
      m_progress(progress),
      m_writeIso(writeIso),
      m_exit(exit),
      m_desktopNotice(std::make_unique<DesktopNotice>(parent)),
      m_announce([notice = m_desktopNotice.get()](const RunNotice& n) { notice->Show(n); }) {}

ImageRunCommand::~ImageRunCommand() = default;

void ImageRunCommand::Start(const std::string& toolPath, const CommandLine& entries,
                            std::int64_t totalSize, const std::string& imageTarget,
                            bool showConsole, const std::optional<PlannedBytes>& planned) {
  const RunGateQuestions ask{
      [this](const std::string& question) { return AskYesNo(wxString::FromUTF8(question), m_parent); },
      [this] { return AskYesNo(Tr(MSG_REPLACE_IMAGE), m_parent); }};
  const RunGateResult gate = PassRunGate(entries, imageTarget, toolPath, planned, m_freeSpace, ask);
  switch (gate.step) {
    case RunGateStep::Go: break;
    case RunGateStep::Declined: return;
    case RunGateStep::Refused:
      ShowMessage(Tr(MSG_IMAGE_NOT_CREATED) + ToDisplay("\n\n" + std::string(TOOL_NAME) + ": " + gate.refusal), m_parent);
      return;
    case RunGateStep::CannotEmptyImage: ShowMessage(Tr(MSG_CANNOT_WRITE_IMAGE), m_parent); return;
    case RunGateStep::ToolMissing: ShowMessage(Tr(MSG_CANNOT_FIND_TOOL), m_parent); return;
  }
  std::string reason;
  std::unique_ptr<ToolProcess> run = ToolProcess::Start(toolPath, entries, &reason);
  if (!run) {
    // The tool is there: the message names what stopped it.
    ShowMessage(wxString::Format(Tr(MSG_CANNOT_START_TOOL), ToDisplay(reason)), m_parent);
    return;
  }
  run->scale = ProgressScale::For(totalSize);
  m_progress->SetValue(0);
  m_progress->SetRange(run->scale.range);
  if (showConsole) {
    // One console: a new run clears the one still open.
    if (m_console && !m_console->IsBeingDeleted()) {
      m_console->Clear();
    } else {
      m_console = new ToolConsole(m_parent);
    }
    m_console->Show();
    m_console->Raise();
    run->ShowIn(m_console);
  }
  m_imageTarget = imageTarget;
  m_plannedBinBytes = planned ? std::optional<std::uint64_t>(planned->binBytes) : std::nullopt;
  m_toolProcess = std::move(run);
  m_exit->SetLabel(Tr(LABEL_STOP));
  m_writeIso->Disable();
  m_running = true;
  if (m_planView) m_planView->RunStarted();
}

void ImageRunCommand::Tick() {
  if (!m_running || !m_toolProcess) return;
  const std::optional<DiskEntry> image = LookUpPath(m_imageTarget + ".bin");
  if (image && image->kind == DiskKind::File) {
    m_progress->SetValue(m_toolProcess->scale.PositionFor(static_cast<std::int64_t>(image->size)));
    if (m_planView) m_planView->RunProgress(image->size);
  }
  m_toolProcess->Poll();
  if (!m_toolProcess->HasEnded()) return;
  // Cleared before the box, so that ticks while it is open do nothing.
  m_running = false;
  // One end message: the window's box and the desktop's notice both say it.
  std::string failure = RunEndMessage(m_toolProcess->End(), m_toolProcess->ErrorOutput());
  if (failure.empty()) failure = WrittenImageMessage(m_imageTarget, m_plannedBinBytes);
  auto* window = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(m_parent));
  if (!window || !window->IsActive()) m_announce(NoticeOfRunEnd(failure, m_imageTarget + ".bin"));
  ShowMessage(failure.empty() ? Tr(MSG_IMAGE_CREATED) : ToDisplay(failure), m_parent);
  End();
}

void ImageRunCommand::End() {
  // Destroying the run kills a tool that is still running, with its children.
  m_toolProcess.reset();
  m_exit->SetLabel(Tr(LABEL_EXIT));
  m_writeIso->Enable();
  m_progress->SetValue(0);
  m_running = false;
  if (m_planView) m_planView->RunEnded();
  // What the run looked up and planned was freed; the memory goes back to
  // the system rather than staying with the program.
  malloc_trim(0);
}
