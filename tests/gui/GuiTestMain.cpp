// The GUI tests' main: wx asserts as failures, a net failing (and cancelling)
// any modal dialog no wxTEST_DIALOG expected, each test alone and in time.
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

// Registered first, so called last: it sees only dialogs no expectation answered.
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

// A wait that never ends cannot fail its test: an alarm ends the run naming it.
std::string g_runningTest;

void EndOverdueTest(int) {
  constexpr std::string_view overdue = " has run too long: stopped\n";
  (void)!::write(STDERR_FILENO, g_runningTest.data(), g_runningTest.size());
  (void)!::write(STDERR_FILENO, overdue.data(), overdue.size());
  ::_exit(1);
}

// Each test starts as if run alone: after the double-click time since the last
// press (GTK would pair its first click with it, even in a new window), and
// with the top-level windows the last one left destroyed.
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
