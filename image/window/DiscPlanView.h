// The line that shows the disc before it is written: after every change to
// the layout or an option, the tool's planner lays the image out on a thread
// of its own and the line shows the result ("Image: 12345 sectors, ...");
// during a run it shows the writing's share, speed and time left. Changes
// that come in a burst are planned once, after the burst.
#pragma once

#include <wx/event.h>
#include <wx/timer.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/ImagePlanWorker.h"
#include "image/WriteRate.h"

class wxStaticText;
class wxWindow;

class DiscPlanView : public wxEvtHandler {
 public:
  // The tool's arguments for the current layout and options, with the file
  // sizes known; nothing when there is no layout to plan (an empty tree).
  using Snapshot = std::function<std::optional<PlanRequest>()>;

  // line: the static text that shows it; owner: where results come back to
  // (the window's thread).
  DiscPlanView(wxWindow* owner, wxStaticText* line, Snapshot snapshot,
               SizeLookUp lookUp);
  ~DiscPlanView() override;

  // Something the plan depends on changed: a plan follows shortly.
  void Changed();
  // The layout was replaced: sizes remembered so far are forgotten.
  void LayoutReplaced();
  // Plans now, with sizes just looked up (Write ISO), waiting for the
  // planner's thread, and shows the result.
  PlanResult PlanNow(PlanRequest request);

  // The latest plan shown, if any.
  const std::optional<PlanResult>& Current() const { return m_current; }
  bool HasNameChanges() const;
  // Opens the list of names that change (modal).
  void ShowNames();

  // A run: the line follows the growing image instead of the plan, against
  // the exact size of the plan made at its start (without one it stays).
  void RunStarted();
  void RunProgress(std::uint64_t writtenBytes);
  void RunEnded();

  // How long a burst of changes is gathered before the plan starts.
  static constexpr int GATHER_MS = 40;
  // Whether a plan is asked for or under way (tests wait for it).
  bool IsPlanning() const { return m_requested != m_shown || m_gather.IsRunning(); }

 private:
  void StartPlan();
  void Show(PlanResult result);
  double Now() const;

  wxWindow* m_owner;
  wxStaticText* m_line;
  Snapshot m_snapshot;
  wxTimer m_gather;
  std::uint64_t m_requested = 0;  // generation of the newest request
  std::uint64_t m_shown = 0;      // generation of the result shown
  std::optional<PlanResult> m_current;
  std::optional<WriteRate> m_rate;
  std::unique_ptr<ImagePlanWorker> m_worker;  // last: goes first, joining its thread
};
