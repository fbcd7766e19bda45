// The window's look-ups in the program's catalog (brenvoxgui.mo, loaded by
// LoadTranslations in app/window/Resources.h). Texts written in the window's
// own files use _() and wxPLURAL; the constants of common/Texts.h go through
// Tr where they are shown.
#pragma once

#include <wx/string.h>

// The text in the user's language; the English text when the catalog has no
// translation (or no catalog is loaded).
wxString Tr(const char* text);

// The same for a text about a count: [0] for one, [1] for many in English.
wxString TrPlural(const char* const (&forms)[2], unsigned long count);

// The translated texts of a file dialog's "desc|pattern|...||" filter, as
// wxFileDialog takes it: descriptions translated, patterns as they are.
wxString TrWildcard(const char* filter);

// Lets the plain units (common/Translate.h) look texts up in the catalog too.
void InstallTranslators();
