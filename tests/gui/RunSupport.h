// Checks shared by the tests of runs and of the window's own dialogs.
#pragma once

#include <functional>

#include "GuiFixture.h"
#include "image/window/DiscPlanView.h"

// Answers one modal dialog of class D inside wxTEST_DIALOG with what check returns.
template <class D>
class ExpectModal : public wxExpectModalBase<D, ExpectModal<D>> {
 public:
  explicit ExpectModal(std::function<int(D*)> check) : m_check(std::move(check)) {}

 protected:
  int OnInvoked(D* dialog) const override { return m_check(dialog); }

 private:
  std::function<int(D*)> m_check;
};

// The buttons during a run, and with the bar at rest between runs.
inline void ExpectRunning(wxWindow* dlg, bool running = true) {
  EXPECT_EQ(FindControl<wxButton>(dlg, ID_WRITE_ISO)->IsEnabled(), !running);
  EXPECT_EQ(FindControl<wxButton>(dlg, ID_EXIT)->GetLabel(), running ? "Stop" : "Exit");
  if (!running) {
    EXPECT_EQ(FindControl<wxGauge>(dlg, ID_PROGRESS)->GetValue(), 0);
  }
}
inline void ExpectIdle(wxWindow* dlg) { ExpectRunning(dlg, false); }

// A window whose ticks the test drives, with its image target in startupDir/out.
class RunTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!dlg) return;
    DriveTicks();
    std::filesystem::create_directories(startupDir + "/out");
    SetTarget(image = startupDir + "/out/disc");
  }
  // Waits until the plan asked for by the last change is shown.
  std::string SettledLine() {
    EXPECT_TRUE(WaitFor([&] { return !dlg->DiscPlan().IsPlanning(); }, 20000)) << "no plan came";
    return PlanLine();
  }
  // The sectors the plan line gives once settled.
  std::uint64_t ShownSectors() {
    const std::string line = SettledLine();
    EXPECT_TRUE(line.starts_with("Image: ")) << line;
    return line.starts_with("Image: ") ? std::stoull(line.substr(7)) : 0;
  }
  // Write ISO to its end, answered "Image Created".
  void WriteImage(int timeoutMs = 10000) {
    ASSERT_TRUE(Click(ID_WRITE_ISO));
    ASSERT_TRUE(RunEnded(timeoutMs));
    wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
  }

  std::string image;
};
