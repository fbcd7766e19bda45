// The X server as other programs' windows see it: what it shows, read
// straight from the server (wxScreenDC can give stale pixels under GTK 3),
// and the top-level windows of any program on the display.
#pragma once

#include <wx/colour.h>
#include <wx/gdicmn.h>
#include <wx/image.h>

#include <string>

class wxWindow;

// The screen's pixels in rect (screen coordinates); not IsOk() on failure.
wxImage GrabScreen(const wxRect& rect);
wxColour ScreenPixel(const wxPoint& at);
// The window as shown on screen, saved as PNG.
bool SaveWindowShot(wxWindow* window, const std::string& path);

// A viewable top-level window whose title is exactly title; 0 when none.
unsigned long FindVisibleWindow(const std::string& title);
// Gives the keyboard focus to that window (keys then go to it).
bool FocusWindow(unsigned long window);
// Where that window is on the screen, and its size; empty when unknown.
wxRect WindowScreenRect(unsigned long window);
// Asks that window to close (WM_DELETE_WINDOW), as a window manager does when
// its close box is clicked.
bool RequestClose(unsigned long window);
