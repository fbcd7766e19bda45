#include "image/window/CommandLineBox.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "common/window/MessageBox.h"

CommandLineBox::CommandLineBox(wxWindow* parent, const wxString& text)
    : wxDialog(parent, wxID_ANY, ProgramName(), wxDefaultPosition, wxSize(640, 420),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER) {
  m_text = new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY);
  auto* ok = new wxButton(this, wxID_OK, wxT("OK"));
  ok->SetDefault();
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_text, 1, wxEXPAND | wxALL, 8);
  sizer->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  SetSizer(sizer);
  ok->SetFocus();
}

wxString CommandLineBox::Text() const { return m_text->GetValue(); }
