#include "app/window/EndSignals.h"

#include <signal.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <cstdlib>

#include "app/window/MainDialog.h"

namespace {

MainDialog* g_window = nullptr;

// How many modal dialogs are showing now, the native message boxes included.
class ModalCount : public wxModalDialogHook {
 public:
  int count = 0;
  bool registered = false;

 protected:
  int Enter(wxDialog*) override {
    ++count;
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {
    if (count > 0) --count;
  }
};

ModalCount& Modals() {
  static ModalCount modals;
  return modals;
}

void OnEndSignal(int) {
  if (!g_window) return;
  MainDialog* window = g_window;
  window->EndRun();  // as Stop: the tool and its children killed, the argument file gone
  const int own = window->IsModal() ? 1 : 0;
  if (Modals().count > own) {
    // A dialog or message box over the window would hold the close until it
    // is answered: the settings are written now and the program ends here.
    window->SaveSettings();
    std::_Exit(0);
  }
  window->OnExit();
}

}  // namespace

void RouteEndSignals(MainDialog* window) {
  g_window = window;
  if (window && !Modals().registered) {
    Modals().count = 0;
    Modals().Register();
  }
  if (!window && Modals().registered) Modals().Unregister();
  Modals().registered = window != nullptr;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    wxTheApp->SetSignalHandler(sig, window ? OnEndSignal : reinterpret_cast<wxAppConsole::SignalHandler>(SIG_DFL));
  }
}
