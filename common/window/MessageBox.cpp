#include "common/window/MessageBox.h"

#include <dlfcn.h>

#include <wx/app.h>
#include <wx/dcscreen.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>

#include "common/MessageLines.h"
#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "common/window/Translation.h"

namespace {

std::string& ProgramNameBytes() {
  static std::string name = PROGRAM_NAME;
  return name;
}

// The width a box needs for its caption to show whole in the title bar: the
// caption in a bold title font, and room for the window's icon and the title
// bar's buttons.
int CaptionWidth(const wxString& caption) {
  wxScreenDC dc;
  dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
  const wxSize text = dc.GetTextExtent(caption);
  return text.GetWidth() + 8 * text.GetHeight();
}

// GTK makes a message box as narrow as its text, and a short text gives a box
// whose caption the window manager cuts. While it lives, this gives the box a
// minimum width when GTK shows it; GTK sizes the box again at once, so it
// appears narrow for a moment and then settles at that width. GTK is reached
// at run time: the program uses it only through wx and is built without its
// headers.
class MinimumWidthWhenShown {
 public:
  MinimumWidthWhenShown(wxWindow& box, int width) : m_box(box), m_width(width) {
    using TypeFromName = unsigned long (*)(const char*);
    using Lookup = unsigned (*)(const char*, unsigned long);
    using AddHook = unsigned long (*)(unsigned, unsigned, Hook, void*, void (*)(void*));
    const auto typeFromName = reinterpret_cast<TypeFromName>(dlsym(RTLD_DEFAULT, "g_type_from_name"));
    const auto lookup = reinterpret_cast<Lookup>(dlsym(RTLD_DEFAULT, "g_signal_lookup"));
    const auto addHook = reinterpret_cast<AddHook>(dlsym(RTLD_DEFAULT, "g_signal_add_emission_hook"));
    m_valueObject = reinterpret_cast<ValueObject>(dlsym(RTLD_DEFAULT, "g_value_get_object"));
    m_setSize = reinterpret_cast<SetSize>(dlsym(RTLD_DEFAULT, "gtk_widget_set_size_request"));
    if (!typeFromName || !lookup || !addHook || !m_valueObject || !m_setSize) return;
    const unsigned long widgetType = typeFromName("GtkWidget");
    m_signal = widgetType ? lookup("show", widgetType) : 0;
    if (m_signal) m_hook = addHook(m_signal, 0, &OnShow, this, nullptr);
  }
  ~MinimumWidthWhenShown() {
    using RemoveHook = void (*)(unsigned, unsigned long);
    const auto removeHook = reinterpret_cast<RemoveHook>(dlsym(RTLD_DEFAULT, "g_signal_remove_emission_hook"));
    if (m_hook && removeHook) removeHook(m_signal, m_hook);
  }
  MinimumWidthWhenShown(const MinimumWidthWhenShown&) = delete;
  MinimumWidthWhenShown& operator=(const MinimumWidthWhenShown&) = delete;

 private:
  using Hook = int (*)(void*, unsigned, const void*, void*);
  using ValueObject = void* (*)(const void*);
  using SetSize = void (*)(void*, int, int);

  // Called for every widget GTK shows meanwhile; the box is the one whose
  // first parameter (the instance) is the box's widget.
  static int OnShow(void*, unsigned count, const void* values, void* data) {
    auto* self = static_cast<MinimumWidthWhenShown*>(data);
    if (count > 0 && self->m_box.GetHandle() && self->m_valueObject(values) == self->m_box.GetHandle()) {
      self->m_setSize(self->m_box.GetHandle(), self->m_width, -1);
    }
    return 1;  // stay for the next emission
  }

  wxWindow& m_box;
  int m_width;
  ValueObject m_valueObject = nullptr;
  SetSize m_setSize = nullptr;
  unsigned m_signal = 0;
  unsigned long m_hook = 0;
};

int ShowBox(const wxString& text, long style, wxWindow* parent) {
  wxMessageDialog box(parent, MessageBoxText(text), ProgramName(), style | wxCENTRE);
  MinimumWidthWhenShown wide(box, CaptionWidth(ProgramName()));
  return box.ShowModal();
}

}  // namespace

wxString ProgramName() {
  return ToDisplay(ProgramNameBytes());
}

void SetProgramName(const std::string& name) {
  if (!name.empty()) ProgramNameBytes() = name;
}

wxString ShortenMiddle(const wxString& text, std::size_t maxChars) {
  return wxString(MiddleShortened(text.ToStdWstring(), maxChars));
}

wxString MessageBoxText(const wxString& text) {
  return wxString(LinesShortened(text.ToStdWstring(), MESSAGE_LINE_CHARS));
}

void ShowMessage(const wxString& text, wxWindow* parent) {
  ShowBox(text, wxOK | wxICON_NONE, parent);
}

bool AskYesNo(const wxString& text, wxWindow* parent) {
  return ShowBox(text, wxYES_NO | wxICON_EXCLAMATION, parent) == wxID_YES;
}

wxString CannotFindText(const std::string& path) {
  return wxString::Format(Tr(MSG_CANNOT_FIND), ToDisplay(path));
}

wxString PathTooLongText(const std::string& path) {
  return wxString::Format(Tr(MSG_PATH_TOO_LONG), ToDisplay(path));
}

void ShowCannotFind(const std::string& path, wxWindow* parent) {
  ShowMessage(CannotFindText(path), parent);
}
