// Reads what the X server shows, straight from the server (wxScreenDC can
// give stale pixels under GTK 3).
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
