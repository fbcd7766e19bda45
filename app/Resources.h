// The window templates and the icon, embedded in the program. The program and
// the GUI tests both call LoadResources() once before making any window.
#pragma once

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

// Registers the image handlers and the XRC handlers and loads the embedded
// templates. Safe to call more than once.
void LoadResources();

// Icon 128, the program's own icon, drawn from its SVG at the size asked for
// (so it stays sharp on a scaled screen): 32 x 32 at scale 1.
wxBitmapBundle AppIconPicture();
// The same at the window manager's usual sizes, for the main window.
wxIconBundle AppIcons();
