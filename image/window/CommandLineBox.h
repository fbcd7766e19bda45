// View Cmd Line for a long command line: a message box lays a text of
// thousands of entries out as one huge label (minutes of work, and a window
// far taller than the screen), so a long command line is shown instead in a
// box that scrolls, one entry per line, with OK.
#pragma once

#include <wx/dialog.h>

#include <cstddef>

class wxTextCtrl;

class CommandLineBox : public wxDialog {
 public:
  // Texts longer than this many characters are shown in this box.
  static constexpr std::size_t LONG_TEXT_CHARS = 4000;

  CommandLineBox(wxWindow* parent, const wxString& text);
  wxString Text() const;

 private:
  wxTextCtrl* m_text = nullptr;
};
