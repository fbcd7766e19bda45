// Paths and texts are kept as the bytes the file system gives; they are
// decoded only for display (UTF-8 when valid, else Latin-1).
#pragma once

#include <wx/string.h>

#include <string>

wxString ToDisplay(const std::string& bytes);

// The bytes of a text typed into or shown in a control (UTF-8).
std::string FromDisplay(const wxString& text);

// The bytes of a text a control shows that was put there from bytes: those
// bytes while the text is unchanged (also when it was shown cut short), else
// the text as typed.
std::string BytesOfShown(const wxString& shown, const std::string& bytes);
