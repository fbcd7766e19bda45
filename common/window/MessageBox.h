// Every message box of the program goes through here: the caption is always
// the program's name; information boxes have OK and no icon, questions have
// Yes and No and the exclamation icon.
#pragma once

#include <wx/string.h>

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

// "Cannot find %s" with the path, in the user's language.
void ShowCannotFind(const std::string& path, wxWindow* parent = nullptr);
