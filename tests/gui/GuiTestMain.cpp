// The GUI tests' main: a bare wxApp under the X display, wx asserts as test
// failures, a net that fails (and answers Cancel to) any modal dialog no
// wxTEST_DIALOG expected, a fresh screen for each test, and a deadline that
// names a test which waits far longer than any test takes.
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
#include <string_view>

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
// - GTK pairs a press with one at the same spot within the double-click time,
//   also in a new window at a destroyed one's address: a test's first click
//   would arrive as a DCLICK. The test waits out that time after the last press.
// - The top-level windows a test left behind are destroyed.
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

// A wait of the main thread that never ends cannot fail its test: an alarm
// ends the run naming the test, rather than ctest's timeout without a name.
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
