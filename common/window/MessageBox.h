// Every message box of the program goes through here: the caption is always
// the program's name; information boxes have OK and no icon, questions have
// Yes and No and the exclamation icon. A box fits the screen and is wide
// enough for its caption.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <string>

class wxWindow;

// The program's name: the executable's file name without extension, as the
// program sets it at start (brenvoxgui until then).
wxString ProgramName();
void SetProgramName(const std::string& name);

// An OK box with no icon.
void ShowMessage(const wxString& text, wxWindow* parent = nullptr);

// A Yes/No question with the exclamation icon. True for Yes.
bool AskYesNo(const wxString& text, wxWindow* parent = nullptr);

// The most characters a line of a message keeps: a longer line (a deep path)
// is shortened in its middle, so that no box grows taller than the screen.
inline constexpr std::size_t MESSAGE_LINE_CHARS = 160;

// text with its middle replaced by "..." when it has more than maxChars
// characters; the result has at most maxChars characters.
wxString ShortenMiddle(const wxString& text, std::size_t maxChars);

// The text as a box shows it: each line longer than MESSAGE_LINE_CHARS shortened.
wxString MessageBoxText(const wxString& text);

// "Cannot find %s" with the path, and what a path too long to reach gives.
wxString CannotFindText(const std::string& path);
wxString PathTooLongText(const std::string& path);
void ShowCannotFind(const std::string& path, wxWindow* parent = nullptr);
