#include "app/TypedLimit.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/textctrl.h>

namespace {

// Characters that typing or pasting may still add: the limit less what stays
// of the text once the selection is replaced.
std::size_t RoomLeft(const wxTextCtrl* edit, std::size_t limit) {
  long from = 0, to = 0;
  edit->GetSelection(&from, &to);
  const std::size_t kept = edit->GetValue().length() - static_cast<std::size_t>(to - from);
  return kept >= limit ? 0 : limit - kept;
}

bool AddsCharacter(const wxKeyEvent& event) {
  if (event.GetModifiers() & (wxMOD_CONTROL | wxMOD_ALT | wxMOD_META)) return false;
  const wxChar c = event.GetUnicodeKey();
  return c != WXK_NONE && c >= 32 && c != WXK_DELETE;
}

wxString ClipboardText() {
  wxString text;
  wxClipboardLocker lock;
  if (!lock) return text;
  wxTextDataObject data;
  if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data)) {
    text = data.GetText();
  }
  return text;
}

}  // namespace

void LimitTypedLength(wxTextCtrl* edit, std::size_t limit) {
  edit->Bind(wxEVT_CHAR, [edit, limit](wxKeyEvent& event) {
    if (AddsCharacter(event) && RoomLeft(edit, limit) == 0) return;  // refused
    event.Skip();
  });
  edit->Bind(wxEVT_TEXT_PASTE, [edit, limit](wxClipboardTextEvent&) {
    // As much of the pasted text as fits.
    edit->WriteText(ClipboardText().Left(RoomLeft(edit, limit)));
  });
}
