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
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
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

// Ends the process when a test has run longer than the limit. A wait of the
// main thread that never ends cannot fail the test itself, so another thread
// watches: it names the test on stderr and exits, and the run fails at once
// instead of at ctest's timeout with no name.
class TestDeadline : public testing::EmptyTestEventListener {
 public:
  explicit TestDeadline(std::chrono::seconds limit) : m_limit(limit), m_watch([this] { Watch(); }) {}
  ~TestDeadline() override {
    {
      const std::lock_guard lock(m_mutex);
      m_quit = true;
    }
    m_changed.notify_all();
    m_watch.join();
  }

  void OnTestStart(const testing::TestInfo& test) override {
    {
      const std::lock_guard lock(m_mutex);
      m_test = std::string(test.test_suite_name()) + "." + test.name();
      m_deadline = std::chrono::steady_clock::now() + m_limit;
      m_armed = true;
    }
    m_changed.notify_all();
  }
  void OnTestEnd(const testing::TestInfo&) override {
    const std::lock_guard lock(m_mutex);
    m_armed = false;
  }

 private:
  void Watch() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
      if (!m_armed) {
        m_changed.wait(lock);
      } else if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed &&
                 std::chrono::steady_clock::now() >= m_deadline) {
        std::fprintf(stderr, "\n%s has run longer than %lld s: stopped\n", m_test.c_str(),
                     static_cast<long long>(m_limit.count()));
        std::fflush(stderr);
        ::_exit(1);
      }
    }
  }

  const std::chrono::seconds m_limit;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_test;
  std::chrono::steady_clock::time_point m_deadline{};
  bool m_armed = false;
  bool m_quit = false;
  std::thread m_watch;  // last: starts once the members it reads are made
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
        new TestDeadline(std::chrono::seconds(limit ? std::atoi(limit) : 240)));
    result = RUN_ALL_TESTS();
    wxEvtHandler::RemoveFilter(&presses);
    net.Unregister();
  }
  wxEntryCleanup();
  return result;
}
