// Write ISO for the main window: makes sure an existing image may be
// replaced, starts brenvox.exe and follows the growing image file at each
// tick of the window's timer until the tool ends, or until Stop ends the run.
// The Write ISO and Exit buttons show the state: Write ISO is disabled and
// Exit reads "Stop" while a run lasts. A run that ends while the window is not
// the active one is also announced on the desktop.
#pragma once

#include <wx/event.h>
#include <wx/weakref.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/CommandLine.h"
#include "image/RunGate.h"
#include "image/RunOutcome.h"
#include "image/window/ToolConsole.h"

class wxWindow;
class wxGauge;
class wxButton;
class ToolProcess;
class DiscPlanView;
class DesktopNotice;

class ImageRunCommand {
 public:
  // parent: where messages and the console go.
  ImageRunCommand(wxWindow* parent, wxGauge* progress, wxButton* writeIso, wxButton* exit);
  ~ImageRunCommand();

  // Starts the tool once the run's gate is passed (RunGate.h), its questions
  // asked and its refusals shown. planned: the image by the plan made for
  // this run (nothing when there is none); a run that exits 0 must leave
  // TARGET.bin of its size.
  void Start(const std::string& toolPath, const CommandLine& entries, std::int64_t totalSize,
             const std::string& imageTarget, bool showConsole, const std::optional<PlannedBytes>& planned);
  // The timer's tick: the progress bar, the tool's output, the run's end.
  void Tick();
  // Ends the run (killing the tool if it still runs) and returns to idle.
  void End();
  bool IsRunning() const { return m_running; }
  ToolProcess* Current() const { return m_toolProcess.get(); }
  // The line that shows the run's time left (none: not shown).
  void SetPlanView(DiscPlanView* view) { m_planView = view; }
  // Where the end of a run is announced when the window is not active: the
  // desktop's notifications unless set.
  using Announcer = std::function<void(const RunNotice&)>;
  void SetAnnouncer(Announcer announce) { m_announce = std::move(announce); }
  // Where the run learns the target folder's free space: the file system's unless set.
  void SetFreeSpaceSource(FreeSpaceSource source) { m_freeSpace = std::move(source); }

 private:
  wxWindow* m_parent;
  wxGauge* m_progress;
  wxButton* m_writeIso;
  wxButton* m_exit;
  std::unique_ptr<ToolProcess> m_toolProcess;
  wxWeakRef<ToolConsole> m_console;  // the console of View Prompt while it is open
  std::string m_imageTarget;
  std::optional<std::uint64_t> m_plannedBinBytes;
  bool m_running = false;
  DiscPlanView* m_planView = nullptr;
  std::unique_ptr<DesktopNotice> m_desktopNotice;
  Announcer m_announce;
  FreeSpaceSource m_freeSpace = FreeBytesIn;
};
