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

// The program's catalog, brenvoxgui.mo, for the user's language (taken from
// the environment: LANGUAGE, LC_ALL, LC_MESSAGES, LANG). It is looked for
// under share/locale beside the executable's bin folder (so both the
// installed program and build/bin find theirs) and in the system's places;
// wx's own catalog gives its stock texts.
// An English or "C" environment loads nothing and every text stays English.
// Windows made afterwards show their texts translated.
void LoadTranslations();
// Back to the English texts, for windows made afterwards.
void UnloadTranslations();
