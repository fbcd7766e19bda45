#include "image/window/ToolConsole.h"

#include <dlfcn.h>

#include <algorithm>

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "common/window/TextCodec.h"
#include "image/ConsoleTail.h"
#include "common/Texts.h"
#include "common/window/Translation.h"

namespace {

// The main window runs modally, and GTK gives a modal window's group all the
// input: a console in that group could be neither scrolled nor closed. The
// console gets a window group of its own. (The GTK calls are looked up at run
// time: the program uses GTK only through wx and is built without its headers.)
void TakeOwnWindowGroup(wxWindow* window) {
  using NewGroup = void* (*)();
  using AddWindow = void (*)(void*, void*);
  using Unref = void (*)(void*);
  const auto newGroup = reinterpret_cast<NewGroup>(dlsym(RTLD_DEFAULT, "gtk_window_group_new"));
  const auto addWindow =
      reinterpret_cast<AddWindow>(dlsym(RTLD_DEFAULT, "gtk_window_group_add_window"));
  const auto unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
  if (!newGroup || !addWindow || !unref || !window->GetHandle()) return;
  void* group = newGroup();
  addWindow(group, window->GetHandle());  // the window keeps a reference
  unref(group);
}

}  // namespace

ToolConsole::ToolConsole(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, TOOL_NAME, wxDefaultPosition, wxSize(640, 400)) {
  m_text = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  m_text->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_text, 1, wxEXPAND);
  SetSizer(sizer);
  TakeOwnWindowGroup(this);
  // wxGTK hands a close request (the close box, Alt+F4) on to a top-level
  // window only while no modal dialog is open, or when the window counts as
  // a dialog; the main window is modal for the program's whole life, so the
  // console counts as one.
  SetExtraStyle(GetExtraStyle() | wxTOPLEVEL_EX_DIALOG);
}

namespace {

long NoticeLength() { return static_cast<long>(Tr(CONSOLE_HEAD_DROPPED).length()); }

}  // namespace

void ToolConsole::Append(const std::string& bytes) {
  if (bytes.empty()) return;
  wxString text = ToDisplay(bytes);
  const std::size_t room = static_cast<std::size_t>(KEEP_CHARACTERS - NoticeLength());
  if (text.length() > room) {  // this part alone fills the console
    text = text.Mid(KeptFrom(text.ToStdWstring(), room));
    m_text->ChangeValue(Tr(CONSOLE_HEAD_DROPPED));
    m_headDropped = true;
  }
  m_text->AppendText(text);
  DropHead();
}

void ToolConsole::DropHead() {
  const long length = m_text->GetLastPosition();
  if (length <= KEEP_CHARACTERS) return;
  const long notice = NoticeLength();
  // The last KEEP_CHARACTERS - notice characters stay, from the first line
  // start near the cut: only the characters after the cut are read.
  long cut = length - (KEEP_CHARACTERS - notice);
  const long searched = std::min(cut + static_cast<long>(LINE_SEARCH), length);
  cut += static_cast<long>(LineStartAfterCut(m_text->GetRange(cut, searched).ToStdWstring()));
  if (m_headDropped) {
    m_text->Remove(notice, cut);
  } else {
    m_text->Replace(0, cut, Tr(CONSOLE_HEAD_DROPPED));
    m_headDropped = true;
  }
}

void ToolConsole::Clear() {
  m_text->Clear();
  m_headDropped = false;
}

wxString ToolConsole::Text() const { return m_text->GetValue(); }
