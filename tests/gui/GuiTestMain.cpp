// The GUI tests' main: a bare wxApp under the X display, the window templates
// loaded, wx asserts turned into test failures, and a safety net that answers
// (and fails) any modal dialog that no wxTEST_DIALOG expected.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include <cstdio>

#include "app/window/Resources.h"

namespace {

void AssertToFailure(const wxString& file, int line, const wxString& func, const wxString& cond,
                     const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wx assert failed in " << func.utf8_str().data() << ": " << cond.utf8_str().data() << " "
      << msg.utf8_str().data();
}

// Registered before any wxTEST_DIALOG hook: wx calls the most recently
// registered hook first, so this one only sees dialogs that no expectation
// answered.
class UnexpectedDialogNet : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_str().data()
                  << "\" (" << dialog->GetClassInfo()->GetClassName() << "): answered Cancel";
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "cannot start wx: is there an X display (run under xvfb-run)?\n");
    return 1;
  }
  wxSetAssertHandler(AssertToFailure);
  LoadResources();
  int result = 0;
  {
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    UnexpectedDialogNet net;
    net.Register();
    result = RUN_ALL_TESTS();
    net.Unregister();
  }
  wxEntryCleanup();
  return result;
}
