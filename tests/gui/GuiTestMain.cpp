// The GUI tests' main: a bare wxApp under the X display, wx asserts as test
// failures, a net that fails (and answers Cancel to) any modal dialog no
// wxTEST_DIALOG expected, a fresh screen for each test, and a deadline that
// names a test which waits far longer than any test takes.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
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

// A wait of the main thread that never ends cannot fail its test: an alarm
// ends the run naming the test, rather than ctest's timeout without a name.
std::string g_runningTest;

void EndOverdueTest(int) {
  constexpr std::string_view overdue = " has run too long: stopped\n";
  (void)!::write(STDERR_FILENO, g_runningTest.data(), g_runningTest.size());
  (void)!::write(STDERR_FILENO, overdue.data(), overdue.size());
  ::_exit(1);
}

// Each test starts as if it were run alone, and within its time:
// - GTK pairs a press with one at the same spot within the double-click time,
//   also in a new window at a destroyed one's address: a test's first click
//   would arrive as a DCLICK. The test waits out that time after the last
//   press, which this sees as a filter of every event.
// - The top-level windows a test left behind are destroyed.
class EachTestAlone : public testing::EmptyTestEventListener, public wxEventFilter {
 public:
  explicit EachTestAlone(unsigned limitSeconds) : m_limitSeconds(limitSeconds) {
    std::signal(SIGALRM, EndOverdueTest);
  }

  void OnTestStart(const testing::TestInfo& test) override {
    const int doubleClickMs = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    const auto pairable = std::chrono::milliseconds(doubleClickMs > 0 ? doubleClickMs : 500);
    WaitForCondition([&] { return std::chrono::steady_clock::now() - m_lastPress > pairable; },
                     static_cast<int>(pairable.count()) + 1000);
    g_runningTest = std::string("\n") + test.test_suite_name() + "." + test.name();
    ::alarm(m_limitSeconds);
  }

  void OnTestEnd(const testing::TestInfo&) override {
    ::alarm(0);
    const std::vector<wxWindow*> left(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : left) window->Destroy();
    PumpEventLoop();
  }

  int FilterEvent(wxEvent& event) override {
    const auto* mouse = dynamic_cast<wxMouseEvent*>(&event);
    if (mouse && (mouse->ButtonDown() || mouse->ButtonDClick())) m_lastPress = std::chrono::steady_clock::now();
    return Event_Skip;
  }

 private:
  unsigned m_limitSeconds;
  std::chrono::steady_clock::time_point m_lastPress{};
};

}  // namespace

void ShowRealDialogs(bool shown) { g_realDialogsShown = shown; }

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
    // Far above the longest test (the largest layout written end to end).
    const char* limit = std::getenv("BRENVOX_TEST_LIMIT_S");
    auto* eachTest = new EachTestAlone(limit ? static_cast<unsigned>(std::atoi(limit)) : 240);
    testing::UnitTest::GetInstance()->listeners().Append(eachTest);  // gtest deletes it at exit
    wxEvtHandler::AddFilter(eachTest);
    result = RUN_ALL_TESTS();
    wxEvtHandler::RemoveFilter(eachTest);
    net.Unregister();
  }
  wxEntryCleanup();
  return result;
}
