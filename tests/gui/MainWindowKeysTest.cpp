// Typing into the main window's edits, and the keys and buttons that close it
// or open the About box, through real key events.
#include <dlfcn.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <algorithm>

#include "RunSupport.h"
#include "app/window/AboutDialog.h"

namespace {

// How far GTK has scrolled an entry's text to keep the cursor in view: more
// than 0 means its first characters are out of sight.
int EntryScrollOffset(wxTextCtrl& entry) {
  using GetProperty = void (*)(void*, const char*, ...);
  const auto get = reinterpret_cast<GetProperty>(dlsym(RTLD_DEFAULT, "g_object_get"));
  int offset = -1;
  if (get && entry.GetHandle()) get(entry.GetHandle(), "scroll-offset", &offset, nullptr);
  return offset;
}

// Text for a paste: the clipboard's, or the primary selection's (a middle click).
void PutOnClipboard(const char* text, bool primary) {
  wxClipboardLocker lock;
  ASSERT_FALSE(!lock);
  wxTheClipboard->UsePrimarySelection(primary);
  wxTheClipboard->SetData(new wxTextDataObject(text));
  wxTheClipboard->UsePrimarySelection(false);
}

}  // namespace

class MainWindowKeys : public MainWindowTest {
 protected:
  // Focuses an edit, puts the text and the insertion point, and waits for focus.
  void Prepare(wxWindow* edit, const wxString& text, long insertion) {
    auto* entry = dynamic_cast<wxTextEntry*>(edit);
    edit->SetFocus();
    entry->ChangeValue(text);
    entry->SetInsertionPoint(insertion);
    ASSERT_TRUE(WaitFor([edit] { return edit->HasFocus(); }, 3000));
  }
  void Type(const char* text) {
    sim.Text(text);
    PumpEvents();
  }
  wxUIActionSimulator sim;
};

// One window for the typing, the paste and the keys that press buttons or close it.
TEST_F(MainWindowKeys, EditsTakeWhatTheyAllowKeysPressTheirButtonsAndEveryWayOfClosingOnlyStopsARun) {
  wxTextCtrl* volume = FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME);
  Prepare(volume, "", 0);
  Type("disc1");
  EXPECT_EQ(volume->GetValue(), "DISC1");
  EXPECT_EQ(volume->GetInsertionPoint(), 5);
  Prepare(volume, "AB", 1);
  Type("xy");
  EXPECT_EQ(volume->GetValue(), "AXYB") << "where the cursor is";
  EXPECT_EQ(volume->GetInsertionPoint(), 3);

  wxTextCtrl* target = FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH);
  const wxString before = target->GetValue();
  Prepare(target, before, 0);
  Type("xyz");
  EXPECT_EQ(target->GetValue(), before) << "the image target cannot be typed into";

  // The option a selection gives is the option string's rule (tests/unit).
  wxComboBox* box = FindControl<wxComboBox>(dlg, ID_ISO_LEVEL);
  Prepare(box, "", 0);
  const std::pair<const char*, int> levels[] = {{"ISO Level 2", 2}, {"iso level 1", 1}, {"ascii", 0}};
  for (const auto& [typed, index] : levels) {
    box->SelectAll();
    Type(typed);
    EXPECT_TRUE(WaitFor([&] { return box->GetSelection() == index; }, 3000)) << typed;
  }

  // Form 2 extension: four characters typed or pasted, shown whole.
  wxTextCtrl* edit = FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT);
  Prepare(edit, "", 0);
  Type("abcdef");
  EXPECT_EQ(edit->GetValue(), "abcd");
  for (const char* text : {"abcd", "data", "xa01", "zz"}) {
    edit->SelectAll();
    Type(text);
    EXPECT_EQ(edit->GetValue(), text) << "typing over a selection replaces it";
    EXPECT_EQ(EntryScrollOffset(*edit), 0) << text << " is scrolled: its first character is cut";
  }
  PutOnClipboard("xyzw", false);
  edit->Paste();
  PumpEvents();
  EXPECT_EQ(edit->GetValue(), "zzxy") << "as much of a paste as fits";
  // A middle click pastes the text selected last, as much of it as fits.
  Prepare(edit, "dat", 3);
  PutOnClipboard("xyzw", true);
  const wxRect rect = edit->GetScreenRect();
  sim.MouseMove(wxPoint(rect.GetRight() - 3, rect.y + rect.height / 2));  // after the text
  PumpEvents();
  sim.MouseClick(wxMOUSE_BTN_MIDDLE);
  EXPECT_TRUE(WaitFor([&] { return edit->GetValue() != "dat"; }, 3000));
  PumpEvents();
  EXPECT_EQ(edit->GetValue(), "datx");

  int shown = 0;
  dlg->FindWindow(ID_ADD_FILES)->SetFocus();
  PumpEvents();
  // The About box and what it shows.
  wxTEST_DIALOG(sim.Char(WXK_F1); WaitFor([&] { return shown > 0; }, 3000), ExpectModal<AboutDialog>([&](AboutDialog* about) {
    ++shown;
    EXPECT_EQ(about->GetTitle(), "About brenvoxgui");
    EXPECT_EQ(about->GetClientSize(), about->ConvertDialogToPixels(wxSize(235, 55)));
    const wxWindowList& children = about->GetChildren();
    EXPECT_TRUE(std::any_of(children.begin(), children.end(), [](wxWindow* child) {
      return dynamic_cast<wxStaticText*>(child) && child->GetLabel() == "brenvox GUI Version 1.5";
    }));
    auto* ok = dynamic_cast<wxButton*>(about->FindWindow(wxID_OK));
    EXPECT_TRUE(ok && ok->GetLabel() == "OK");
    EXPECT_EQ(about->GetDefaultItem(), ok);
    return wxID_OK;
  }));
  EXPECT_EQ(shown, 1);

  int writeIsoClicks = 0;
  dlg->Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
    ++writeIsoClicks;
    event.Skip();
  }, ID_WRITE_ISO);
  Prepare(FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME), "DISC", 4);
  sim.Char(WXK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return writeIsoClicks > 0; }, 3000));
  EXPECT_EQ(writeIsoClicks, 1);
  EXPECT_TRUE(dlg->IsShown());

  // Every way of closing closes in idle and only stops a run.
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Exit button", [this] { Click(ID_EXIT); }},
      {"Escape", [this] {
         dlg->FindWindow(ID_ADD_FILES)->SetFocus();
         PumpEvents();
         sim.Char(WXK_ESCAPE);
       }},
      {"close box", [this] { dlg->Close(); }},
  };
  for (const auto& [name, close] : cases) {
    dlg->Show();
    PumpEvents();
    FindControl<wxButton>(dlg, ID_WRITE_ISO)->Disable();  // the Running state, as a run sets it
    close();
    PumpEvents();
    EXPECT_TRUE(dlg->IsShown()) << name;
    EXPECT_TRUE(FindControl<wxButton>(dlg, ID_WRITE_ISO)->IsEnabled()) << name << ": the run stopped, Idle again";
    dlg->SetReturnCode(0);
    close();
    EXPECT_TRUE(WaitFor([this] { return !dlg->IsShown(); }, 3000)) << name;
    EXPECT_EQ(dlg->GetReturnCode(), wxID_CANCEL) << name;
  }
}
