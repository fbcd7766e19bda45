#include "image/window/ToolConsole.h"

#include <dlfcn.h>

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "common/window/TextCodec.h"
#include "common/Texts.h"

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
}

void ToolConsole::Append(const std::string& bytes) {
  if (!bytes.empty()) m_text->AppendText(ToDisplay(bytes));
}

void ToolConsole::Clear() { m_text->Clear(); }

wxString ToolConsole::Text() const { return m_text->GetValue(); }
