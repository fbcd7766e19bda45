// A real message box, as GTK shows it on the display: a short text must not
// make the box narrower than its caption needs in a title bar.
#include <gtest/gtest.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <string>

#include "ScreenGrab.h"
#include "common/window/MessageBox.h"

// The harness answers every modal dialog; while this is on, dialogs show for real.
void ShowRealDialogs(bool shown);

TEST(MessageBoxWidth, ShortTextBoxIsWideEnoughForItsCaption) {
  const std::string caption = ProgramName().utf8_string();
  wxRect shown;
  int ticks = 0, seen = 0, presses = 0;
  // Inside the box's modal loop: measures the box on the display, and every
  // half second gives it the keyboard focus and presses Return, until it closes.
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const unsigned long box = FindVisibleWindow(caption);
    if (box) {
      shown = WindowScreenRect(box);
      ++seen;
    }
    if (++ticks == 100) {
      ADD_FAILURE() << (box ? "Return did not close the box" : "no box on the display");
      if (box) RequestClose(box);
      else wxUIActionSimulator().Char(WXK_RETURN);
    }
    if (!box || seen % 5 != 0) return;
    if (const char* dir = std::getenv("BRENVOX_SCREENSHOTS"); dir && seen == 5) {
      GrabScreen(shown).SaveFile(wxString(dir) + "/message-box-short.png", wxBITMAP_TYPE_PNG);
    }
    FocusWindow(box);
    wxUIActionSimulator().Char(WXK_RETURN);
    ++presses;
  });
  timer.Start(100);
  ShowRealDialogs(true);
  ShowMessage("OK");
  ShowRealDialogs(false);
  timer.Stop();
  ASSERT_GT(presses, 0) << "the box never showed";

  // A title bar: an icon and three buttons, each a square of the bar's height
  // (the caption's line and half again), beside the bold caption.
  wxScreenDC dc;
  dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
  const wxSize title = dc.GetTextExtent(ProgramName());
  EXPECT_GE(shown.width, title.x + 4 * (title.y * 3 / 2)) << "a box " << shown.width << " px wide";
}
