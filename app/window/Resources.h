// The window templates and the icon, embedded in the program. The program and
// the GUI tests both call LoadResources() once before making any window.
#pragma once

#include <wx/icon.h>

// Registers the image handlers and the XRC handlers and loads the embedded
// templates. Safe to call more than once.
void LoadResources();

// Icon 128: the program's own icon (main window and About box).
wxIcon AppIcon();
