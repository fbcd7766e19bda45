// The GUI tests' main: a bare wxApp under the X display, the window templates
// loaded, wx asserts turned into test failures, a safety net that answers
// (and fails) any modal dialog that no wxTEST_DIALOG expected, a guard
// that keeps each test from inheriting the screen state of the one before,
// and a deadline that ends the run, naming the test, when one test waits far
// longer than any test takes (a nested loop of GTK's that nothing answers).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/event.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/settings.h>
#include <wx/toplevel.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "GuiFixture.h"
#include "app/window/Resources.h"

namespace {

void AssertToFailure(const wxString& file, int line, const wxString& func, const wxString& cond,
                     const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wx assert failed in " << func.utf8_str().data() << ": " << cond.utf8_str().data() << " "
      << msg.utf8_str().data();
}

bool g_realDialogsShown = false;

// Registered before any wxTEST_DIALOG hook: wx calls the most recently
// registered hook first, so this one only sees dialogs that no expectation
// answered.
class UnexpectedDialogNet : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    if (g_realDialogsShown) return wxID_NONE;
    ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_str().data()
                  << "\" (" << dialog->GetClassInfo()->GetClassName() << "): answered Cancel";
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

// Notes when the last mouse button went down in this process, as wx saw it.
class PressClock : public wxEventFilter {
 public:
  std::chrono::steady_clock::time_point lastPress{};

 protected:
  int FilterEvent(wxEvent& event) override {
    if (auto* mouse = dynamic_cast<wxMouseEvent*>(&event)) {
      if (mouse->ButtonDown() || mouse->ButtonDClick()) lastPress = std::chrono::steady_clock::now();
    }
    return Event_Skip;
  }
};

// Each test starts as if it were run alone:
// - GTK makes a press into the second click of a double click when it comes
//   within the double-click time of a press of the same button at the same
//   spot of the same GDK window, and a new window may get the address of the
//   one just destroyed. wx then sends a DCLICK instead of the DOWN, so a
//   test's first real click could be eaten by the last click of the test
//   before. The test waits out the double-click time after the last press.
// - A top-level window that a test left behind (shown, or pending deletion)
//   is destroyed, so that the next test finds only its own windows on the
//   display.
class FreshScreen : public testing::EmptyTestEventListener {
 public:
  explicit FreshScreen(const PressClock& presses) : m_presses(presses) {}

  void OnTestStart(const testing::TestInfo&) override {
    const int doubleClickMs = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    const auto pairable = std::chrono::milliseconds(doubleClickMs > 0 ? doubleClickMs : 500);
    WaitForCondition(
        [&] { return std::chrono::steady_clock::now() - m_presses.lastPress > pairable; },
        static_cast<int>(pairable.count()) + 1000);
  }

  void OnTestEnd(const testing::TestInfo&) override {
    const std::vector<wxWindow*> left(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : left) window->Destroy();
    PumpEventLoop();
  }

 private:
  const PressClock& m_presses;
};

// A wait of the main thread that never ends cannot fail its test, so an
// alarm ends the run when a test has run longer than the limit, naming it,
// instead of ctest's timeout ending it without a name.
std::string g_runningTest;

void EndOverdueTest(int) {
  constexpr std::string_view overdue = " has run too long: stopped\n";
  (void)!::write(STDERR_FILENO, g_runningTest.data(), g_runningTest.size());
  (void)!::write(STDERR_FILENO, overdue.data(), overdue.size());
  ::_exit(1);
}

class TestDeadline : public testing::EmptyTestEventListener {
 public:
  explicit TestDeadline(unsigned seconds) : m_seconds(seconds) { std::signal(SIGALRM, EndOverdueTest); }
  void OnTestStart(const testing::TestInfo& test) override {
    g_runningTest = std::string("\n") + test.test_suite_name() + "." + test.name();
    ::alarm(m_seconds);
  }
  void OnTestEnd(const testing::TestInfo&) override { ::alarm(0); }

 private:
  unsigned m_seconds;
};

}  // namespace

void ShowRealDialogs(bool shown) {
  g_realDialogsShown = shown;
}

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
    PressClock presses;
    wxEvtHandler::AddFilter(&presses);
    // gtest owns the listener and deletes it at exit.
    testing::UnitTest::GetInstance()->listeners().Append(new FreshScreen(presses));
    // Far above the longest test (the largest layout written end to end).
    const char* limit = std::getenv("BRENVOX_TEST_LIMIT_S");
    testing::UnitTest::GetInstance()->listeners().Append(
        new TestDeadline(limit ? static_cast<unsigned>(std::atoi(limit)) : 240));
    result = RUN_ALL_TESTS();
    wxEvtHandler::RemoveFilter(&presses);
    net.Unregister();
  }
  wxEntryCleanup();
  return result;
}
