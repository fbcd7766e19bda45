#include "app/window/TypedLimit.h"

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

// The clipboard's text, or with primary true the text selected last (what a
// middle click pastes).
wxString ClipboardText(bool primary = false) {
  wxString text;
  wxClipboardLocker lock;
  if (!lock) return text;
  wxTheClipboard->UsePrimarySelection(primary);
  wxTextDataObject data;
  if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data)) {
    text = data.GetText();
  }
  wxTheClipboard->UsePrimarySelection(false);
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
  edit->Bind(wxEVT_MIDDLE_DOWN, [edit, limit](wxMouseEvent& event) {
    // GTK would paste the selected text at the pointer whatever its length:
    // the paste is done here, as much of it as fits. It adds to the text and
    // replaces no selection.
    if (!edit->IsEditable()) {
      event.Skip();
      return;
    }
    const wxString text = ClipboardText(true);
    long at = edit->GetLastPosition();
    if (edit->HitTest(event.GetPosition(), &at) == wxTE_HT_UNKNOWN) at = edit->GetLastPosition();
    const std::size_t length = edit->GetValue().length();
    const std::size_t room = length >= limit ? 0 : limit - length;
    edit->SetFocus();
    edit->SetInsertionPoint(at);
    edit->WriteText(text.Left(room));
  });
}
