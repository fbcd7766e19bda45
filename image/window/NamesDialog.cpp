#include "image/window/NamesDialog.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "common/window/Translation.h"
#include "common/Translate.h"

namespace {

const char* const COLUMNS[] = {TEXT_("Folder"), TEXT_("Name on disk"), TEXT_("Name in the image"), TEXT_("Why")};

std::string CauseText(NameChangeCause cause) {
  switch (cause) {
    case NameChangeCause::Clash: return Translated(TEXT_("clash"));
    case NameChangeCause::Extension: return Translated(TEXT_("Form 2 extension"));
    case NameChangeCause::Mapped: break;
  }
  return Translated(TEXT_("ISO name"));
}

}  // namespace

// A list as long as the layout (up to 49,999 rows) opens at once: each row's
// texts are made when the row is shown.
class NamesList : public wxListCtrl {
 public:
  NamesList(wxWindow* parent, const std::vector<NameChange>& changes, const wxSize& size)
      : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, size,
                   wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxBORDER_SUNKEN),
        m_changes(changes) {}

 protected:
  wxString OnGetItemText(long item, long column) const override {
    if (item < 0 || static_cast<std::size_t>(item) >= m_changes.size() || column < 0 || column > 3) return wxString();
    return ToDisplay(NamesDialog::RowTexts(m_changes[static_cast<std::size_t>(item)])[static_cast<std::size_t>(column)]);
  }

 private:
  std::vector<NameChange> m_changes;
};

wxListCtrl* NamesDialog::List() const { return m_list; }

std::vector<std::string> NamesDialog::RowTexts(const NameChange& change) {
  return {"/" + change.folder, change.diskName + (change.isFolder ? "/" : ""),
          change.imageName + (change.isFolder ? "/" : ""), CauseText(change.cause)};
}

NamesDialog::NamesDialog(wxWindow* parent, const std::vector<NameChange>& changes)
    : wxDialog(parent, wxID_ANY, ProgramName() + " - " + _("Names"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  const wxString count =
      wxString::Format(wxPLURAL("%zu name changes in the image:", "%zu names change in the image:", changes.size()),
                       changes.size());
  sizer->Add(new wxStaticText(this, wxID_ANY, count), 0, wxALL, 8);
  m_list = new NamesList(this, changes, FromDIP(wxSize(620, 300)));
  for (int c = 0; c < 4; ++c) m_list->AppendColumn(Tr(COLUMNS[c]));
  m_list->SetItemCount(static_cast<long>(changes.size()));
  const int widths[] = {150, 180, 180, 110};
  for (int c = 0; c < 4; ++c) m_list->SetColumnWidth(c, FromDIP(widths[c]));
  sizer->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
  sizer->Add(CreateButtonSizer(wxOK), 0, wxEXPAND | wxALL, 8);
  SetSizerAndFit(sizer);
  SetEscapeId(wxID_OK);
}
