// What the tree shows over its items: the drop hint painted while m_showHint
// is set (a box with a bump edge and three centred lines, in tree client
// pixels), and the tooltip of a hovered item.
#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/toplevel.h>

#include "common/Translate.h"
#include "common/window/MessageBox.h"
#include "common/window/Translation.h"
#include "layout/window/DropTreeCtrl.h"

namespace {

const wxRect HINT_RECT(wxPoint(110, 95), wxPoint(249, 159));  // right 250, bottom 160 exclusive
const wxColour HINT_COLOUR(224, 224, 214);
constexpr int HINT_LINE_TOPS[] = {100, 118, 136};
// The lines are written with ampersand-prefix processing, so a doubled
// ampersand shows as one.
// TRANSLATORS: three short lines of one sentence in a box 140 pixels wide;
// "&&" shows as one "&".
const char* const HINT_LINES[] = {TEXT_("drag&&drop files or"), TEXT_("folders here from"), TEXT_("windows explorer")};

void Line(wxDC& dc, const wxColour& colour, int x1, int y1, int x2, int y2) {
  dc.SetPen(wxPen(colour));
  dc.DrawLine(x1, y1, x2, y2);
  dc.DrawPoint(x2, y2);
}

// A bump edge: a raised outer ring and a sunken inner ring.
void DrawBumpEdge(wxDC& dc, const wxRect& r) {
  const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_3DLIGHT);
  const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT);
  const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
  const wxColour darkShadow = wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW);
  const int l = r.GetLeft(), t = r.GetTop(), rt = r.GetRight(), b = r.GetBottom();
  Line(dc, light, l, t, rt, t);
  Line(dc, light, l, t, l, b);
  Line(dc, darkShadow, l, b, rt, b);
  Line(dc, darkShadow, rt, t, rt, b);
  Line(dc, shadow, l + 1, t + 1, rt - 1, t + 1);
  Line(dc, shadow, l + 1, t + 1, l + 1, b - 1);
  Line(dc, highlight, l + 1, b - 1, rt - 1, b - 1);
  Line(dc, highlight, rt - 1, t + 1, rt - 1, b - 1);
}

}  // namespace

void CDropTreeCtrl::OnPaint(wxPaintEvent& event) {
  wxGenericTreeCtrl::OnPaint(event);
  if (!m_showHint) return;
  wxPaintDC dc(this);
  DrawHint(dc);
}

void CDropTreeCtrl::DrawHint(wxDC& dc) {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(HINT_COLOUR));
  dc.DrawRectangle(HINT_RECT);
  DrawBumpEdge(dc, HINT_RECT);
  dc.SetFont(GetFont());
  dc.SetTextForeground(*wxBLACK);
  dc.SetTextBackground(HINT_COLOUR);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  for (std::size_t i = 0; i < std::size(HINT_LINES); ++i) {
    const wxString text = wxControl::RemoveMnemonics(Tr(HINT_LINES[i]));
    const int width = dc.GetTextExtent(text).GetWidth();
    const int x = HINT_RECT.GetLeft() + (HINT_RECT.GetWidth() - width) / 2;
    dc.DrawText(text, x, HINT_LINE_TOPS[i]);
  }
}

// The tooltip of a hovered item. The tree offers the whole label of an item
// it cuts; a long name would make a tooltip wider than the screen, so it is
// shortened in its middle until it fits within the window.
void CDropTreeCtrl::OnGetToolTip(wxTreeEvent& event) {
  wxRect row;
  if (!event.GetItem().IsOk() || !GetBoundingRect(event.GetItem(), row, true) ||
      row.GetRight() < GetClientSize().x) {
    event.Veto();  // shown whole: no tooltip
    return;
  }
  wxScreenDC dc;
  dc.SetFont(GetFont());
  event.SetToolTip(FitToWidth(GetItemText(event.GetItem()), wxGetTopLevelParent(this)->GetSize().x * 9 / 10,
                              [&dc](const wxString& text) { return dc.GetTextExtent(text).x; }));
}

wxString CDropTreeCtrl::FitToWidth(const wxString& label, int width,
                                   const std::function<int(const wxString&)>& measure) {
  wxString shown = label;
  for (std::size_t chars = label.length(); chars > 3 && measure(shown) > width;) {
    chars = chars * 9 / 10;
    shown = ShortenMiddle(label, chars);
  }
  return shown;
}
