// The console window of a tool run with View Prompt on: the tool's output,
// shown live in a monospaced text window titled "brenvox.exe". It stays open
// after the run until the user closes it.
#pragma once

#include <wx/frame.h>

#include <string>

class wxTextCtrl;

class ToolConsole : public wxFrame {
 public:
  explicit ToolConsole(wxWindow* parent);
  void Append(const std::string& bytes);
  // Empties the window for the next run.
  void Clear();
  wxString Text() const;

 private:
  wxTextCtrl* m_text = nullptr;
};
