// Write ISO: compose the option string, make sure an existing image may be
// replaced, start brenvox.exe and follow the growing image file from the
// window's timer until the tool ends, or until Stop kills it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>

#include "app/MessageBox.h"
#include "app/MainDialog.h"
#include "app/TextCodec.h"
#include "app/WholeFile.h"
#include "image/ToolConsole.h"
#include "image/ToolRun.h"
#include "layout/DiskEntry.h"

namespace {

const char* const MSG_REPLACE_IMAGE = "This image already exists.\nDo you want to replace it?";
const char* const MSG_CANNOT_WRITE_IMAGE = "Cannot write image";
const char* const MSG_CANNOT_FIND_TOOL =
    "Cannot find brenvox.exe\nplease put this file in GUI directory";
const char* const MSG_CANNOT_START_TOOL = "Cannot start brenvox.exe: ";

// Empties an existing image and removes its cue sheet, so that the emptied
// image never poses as a disc. False when either cannot be done.
bool EmptyImage(const std::string& imageTarget) {
  // Without waiting: a FIFO of that name (no image) fails at once.
  const int fd = open((imageTarget + ".bin").c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  if (close(fd) != 0) return false;
  return unlink((imageTarget + ".cue").c_str()) == 0 || errno == ENOENT;
}

// The tool is there as a regular file that may be executed: checked before
// the start, so that a start that cannot happen is reported as such.
bool ToolCanStart(const std::string& toolPath) {
  const std::optional<DiskEntry> tool = LookUpPath(toolPath);
  return tool && tool->kind == EntryKind::File && access(toolPath.c_str(), X_OK) == 0;
}

}  // namespace

void MainDialog::OnWriteIso() {
  // A run starts only from Idle (the Enter key must not start a second one).
  if (!m_writeIsoButton->IsEnabled()) return;
  if (!BuildCommandLine()) return;
  const std::string imageFile = m_imageTarget + ".bin";
  if (FileIsReadable(imageFile)) {
    if (!AskYesNo(MSG_REPLACE_IMAGE, this)) return;
    if (!EmptyImage(m_imageTarget)) {
      ShowMessage(MSG_CANNOT_WRITE_IMAGE, this);
      return;
    }
  }
  if (!ToolCanStart(m_toolPath)) {
    ShowMessage(MSG_CANNOT_FIND_TOOL, this);
    return;
  }
  std::string reason;
  std::unique_ptr<ToolRun> run = ToolRun::Start(m_toolPath, m_entries, &reason);
  if (!run) {
    // The tool is there: the message names what stopped it.
    ShowMessage(ToDisplay(MSG_CANNOT_START_TOOL + reason), this);
    return;
  }
  run->scale = ProgressScale::For(m_totalSize);
  m_progress->SetValue(0);
  m_progress->SetRange(run->scale.range);
  if (m_viewPrompt->IsChecked()) {
    auto* console = new ToolConsole(this);
    console->Show();
    run->ShowIn(console);
  }
  m_toolRun = std::move(run);
  m_exitButton->SetLabel(wxT("Stop"));
  m_writeIsoButton->Disable();
  m_running = true;
}

void MainDialog::OnTimer() {
  if (!m_running || !m_toolRun) return;
  const std::optional<DiskEntry> image = LookUpPath(m_imageTarget + ".bin");
  if (image && image->kind == EntryKind::File) {
    m_progress->SetValue(m_toolRun->scale.PositionFor(static_cast<std::int64_t>(image->size)));
  }
  m_toolRun->Poll();
  if (!m_toolRun->HasEnded()) return;
  // Cleared before the box, so that ticks while it is open do nothing.
  m_running = false;
  const std::string failure = RunEndMessage(m_toolRun->End(), m_toolRun->ErrorOutput());
  ShowMessage(failure.empty() ? wxString(MSG_IMAGE_CREATED) : ToDisplay(failure), this);
  EndRun();
}

void MainDialog::EndRun() {
  // Destroying the run kills a tool that is still running, with its children.
  m_toolRun.reset();
  m_exitButton->SetLabel(wxT("Exit"));
  m_writeIsoButton->Enable();
  m_progress->SetValue(0);
  m_running = false;
}
