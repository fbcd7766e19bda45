// A real message box, as GTK shows it on the display: a short text must not
// make the box narrower than its caption needs in a title bar.
#include <gtest/gtest.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>

#include "ScreenGrab.h"
#include "common/window/MessageBox.h"

// The harness answers every modal dialog; while this is on, dialogs show for real.
void ShowRealDialogs(bool shown);

TEST(MessageBoxWidth, ShortTextBoxIsWideEnoughForItsCaption) {
  wxRect shown;
  bool pressed = false;
  int ticks = 0;
  // Runs inside the box's modal loop: measures the box once it is on the
  // display, gives it the keyboard focus and presses Return in it.
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const unsigned long box = FindVisibleWindow(ProgramName().utf8_string());
    if (!box) return;
    if (shown.IsEmpty()) {
      shown = WindowScreenRect(box);
      if (const char* dir = std::getenv("BRENVOX_SCREENSHOTS")) {
        GrabScreen(wxRect(shown).Inflate(8)).SaveFile(wxString(dir) + "/message-box-short.png", wxBITMAP_TYPE_PNG);
      }
    }
    if (++ticks == 50) {
      ADD_FAILURE() << "Return did not close the box";
      RequestClose(box);
    } else if (ticks % 5 == 1) {
      FocusWindow(box);
      wxUIActionSimulator().Char(WXK_RETURN);
      pressed = true;
    }
  });
  timer.Start(100);
  ShowRealDialogs(true);
  ShowMessage("OK");
  ShowRealDialogs(false);
  timer.Stop();
  ASSERT_TRUE(pressed) << "the box never showed";

  // A window manager's title bar: the window's icon and three buttons, each
  // about a square of the bar's height (the caption's line and half again),
  // beside the caption in a bold font.
  wxScreenDC dc;
  dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
  const wxSize caption = dc.GetTextExtent(ProgramName());
  EXPECT_GE(shown.width, caption.x + 4 * (caption.y * 3 / 2)) << "a box " << shown.width << " px wide";
}
