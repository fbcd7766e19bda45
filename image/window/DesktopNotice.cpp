#include "image/window/DesktopNotice.h"

#include <wx/log.h>
#include <wx/notifmsg.h>

#include "app/TextCodec.h"

DesktopNotice::DesktopNotice(wxWindow* parent) : m_parent(parent) {}

DesktopNotice::~DesktopNotice() = default;

void DesktopNotice::Show(const RunNotice& notice) {
  // wx logs an error (shown later as a message box) when the service cannot
  // be reached; a notice that cannot be shown is not worth a message.
  const wxLogNull quiet;
  m_shown = std::make_unique<wxNotificationMessage>(ToDisplay(notice.title), ToDisplay(notice.body), m_parent);
  m_shown->Show(wxNotificationMessage::Timeout_Auto);
}
