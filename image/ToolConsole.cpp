#include "image/ToolConsole.h"

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "app/TextCodec.h"

ToolConsole::ToolConsole(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, wxT("brenvox.exe"), wxDefaultPosition, wxSize(640, 400)) {
  m_text = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  m_text->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_text, 1, wxEXPAND);
  SetSizer(sizer);
}

void ToolConsole::Append(const std::string& bytes) {
  if (!bytes.empty()) m_text->AppendText(ToDisplay(bytes));
}

wxString ToolConsole::Text() const { return m_text->GetValue(); }
