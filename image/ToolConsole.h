// The console window of a tool run with View Prompt on: the tool's output,
// shown live in a monospaced text window titled "brenvox.exe". It keeps the
// last 1 MiB of the output (a tool may print without end), with a line at its
// top once earlier output was dropped. It stays open after the run until the
// user closes it.
#pragma once

#include <wx/frame.h>

#include <string>

class wxTextCtrl;

class ToolConsole : public wxFrame {
 public:
  // What the console keeps, in characters, its first line included.
  static constexpr long KEEP_CHARACTERS = 1024 * 1024;

  explicit ToolConsole(wxWindow* parent);
  void Append(const std::string& bytes);
  // Empties the window for the next run.
  void Clear();
  wxString Text() const;

 private:
  // Drops the oldest output beyond KEEP_CHARACTERS, from the start of a line.
  void DropHead();

  wxTextCtrl* m_text = nullptr;
  bool m_headDropped = false;
};
