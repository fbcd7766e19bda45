// A notification on the desktop, through its notification service (libnotify
// on GTK). Without a service nothing is shown and nothing else happens: no
// message, no log, no error.
#pragma once

#include <memory>

#include "image/RunOutcome.h"

class wxNotificationMessage;
class wxWindow;

class DesktopNotice {
 public:
  explicit DesktopNotice(wxWindow* parent);
  ~DesktopNotice();
  // Shows the notice in place of the one shown before, if any.
  void Show(const RunNotice& notice);

 private:
  wxWindow* m_parent;
  std::unique_ptr<wxNotificationMessage> m_shown;  // kept while the desktop may show it
};
