#include "image/window/DiscPlanView.h"

#include <wx/stattext.h>
#include <wx/window.h>

#include <malloc.h>

#include <chrono>

#include "image/DiscFit.h"
#include "image/window/NamesDialog.h"

DiscPlanView::DiscPlanView(wxWindow* owner, wxStaticText* line, Snapshot snapshot,
                           SizeLookUp lookUp)
    : m_owner(owner), m_line(line), m_snapshot(std::move(snapshot)), m_gather(this) {
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { StartPlan(); });
  m_line->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { ShowNames(); });
  // Results come back to the window's thread through its event queue; a
  // result still queued when this view goes is dropped with the queue.
  m_worker = std::make_unique<ImagePlanWorker>(std::move(lookUp), [this](PlanResult result) {
    CallAfter([this, result = std::move(result)]() mutable { Show(std::move(result)); });
  });
}

DiscPlanView::~DiscPlanView() {
  m_gather.Stop();
  m_worker.reset();  // no result is delivered after this
  DeletePendingEvents();
}

void DiscPlanView::Changed() {
  if (!m_gather.IsRunning()) m_gather.StartOnce(GATHER_MS);
}

void DiscPlanView::LayoutReplaced() {
  m_worker->ForgetSizes();
  Changed();
}

void DiscPlanView::StartPlan() {
  std::optional<PlanRequest> request = m_snapshot();
  const std::uint64_t generation = ++m_requested;
  if (!request) {  // nothing to plan: the line is empty
    m_current.reset();
    m_shown = generation;
    if (!m_rate) m_line->SetLabelText(wxString());
    return;
  }
  request->generation = generation;
  m_worker->Request(std::move(*request));
}

PlanResult DiscPlanView::PlanNow(PlanRequest request) {
  request.generation = ++m_requested;
  PlanResult result = m_worker->PlanAndWait(std::move(request));
  Show(result);
  return result;
}

void DiscPlanView::Show(PlanResult result) {
  if (result.generation < m_shown) return;  // an older plan overtaken by a newer one
  m_shown = result.generation;
  m_current = std::move(result);
  if (!m_rate) m_line->SetLabelText(wxString::FromUTF8(PlanLine(*m_current)));
  // The plan's tree of the whole image was freed once the summary was made:
  // that memory goes back to the system, not kept for the next plan.
  malloc_trim(0);
}

bool DiscPlanView::HasNameChanges() const {
  return m_current && !m_current->summary.nameChanges.empty();
}

void DiscPlanView::ShowNames() {
  if (!HasNameChanges()) return;
  NamesDialog dialog(m_owner, m_current->summary.nameChanges);
  dialog.ShowModal();
}

double DiscPlanView::Now() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void DiscPlanView::RunStarted() {
  if (!m_current || m_current->error) return;
  m_rate.emplace(std::uint64_t{m_current->summary.totalSectors} * disc::SECTOR_SIZE, Now());
  m_line->SetLabelText(wxString::FromUTF8(m_rate->Line(0, Now())));
}

void DiscPlanView::RunProgress(std::uint64_t writtenBytes) {
  if (m_rate) m_line->SetLabelText(wxString::FromUTF8(m_rate->Line(writtenBytes, Now())));
}

void DiscPlanView::RunEnded() {
  m_rate.reset();
  m_line->SetLabelText(m_current ? wxString::FromUTF8(PlanLine(*m_current)) : wxString());
}
