#include "image/window/DesktopNotice.h"

#include <wx/log.h>
#include <wx/notifmsg.h>

#include "app/TextCodec.h"

DesktopNotice::DesktopNotice(wxWindow* parent) : m_parent(parent) {}

DesktopNotice::~DesktopNotice() = default;

void DesktopNotice::Show(const RunNotice& notice) {
  // Without a service wx only logs the failure; a notice that cannot be shown
  // is not worth even a log line.
  const wxLogNull quiet;
  m_shown = std::make_unique<wxNotificationMessage>(ToDisplay(notice.title), ToDisplay(notice.body), m_parent);
  m_shown->Show(wxNotificationMessage::Timeout_Auto);
}
