// Typing into the main window's edits, and the keys and buttons that close it
// or open the About box, through real key events.
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include "GuiFixture.h"
#include "app/window/AboutDialog.h"

namespace {

// Answers the About box and checks what it shows.
class ExpectAbout : public wxExpectModalBase<AboutDialog, ExpectAbout> {
 public:
  explicit ExpectAbout(int* shown) : m_shown(shown) {}

 protected:
  int OnInvoked(AboutDialog* about) const override {
    ++*m_shown;
    EXPECT_EQ(about->GetTitle(), "About brenvoxgui");
    EXPECT_EQ(about->GetClientSize(), about->ConvertDialogToPixels(wxSize(235, 55)));
    bool textFound = false;
    for (wxWindow* child : about->GetChildren()) {
      if (dynamic_cast<wxStaticText*>(child) && child->GetLabel() == "brenvox GUI Version 1.5") {
        textFound = true;
      }
    }
    EXPECT_TRUE(textFound);
    auto* ok = dynamic_cast<wxButton*>(about->FindWindow(wxID_OK));
    EXPECT_TRUE(ok && ok->GetLabel() == "OK");
    EXPECT_EQ(about->GetDefaultItem(), ok);
    return wxID_OK;
  }

 private:
  int* m_shown;
};

}  // namespace

class MainWindowKeys : public MainWindowTest {
 protected:
  // Focuses an edit, puts the text and the insertion point, and waits for focus.
  void Prepare(wxTextCtrl* edit, const wxString& text, long insertion) {
    edit->SetFocus();
    edit->ChangeValue(text);
    edit->SetInsertionPoint(insertion);
    ASSERT_TRUE(WaitFor([edit] { return wxWindow::FindFocus() == edit; }, 3000));
  }
  void Type(const char* text) {
    sim.Text(text);
    PumpEvents();
  }
  wxUIActionSimulator sim;
};

TEST_F(MainWindowKeys, VolumeNameIsUpperCasedWhereTheCursorIs) {
  wxTextCtrl* edit = FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME);
  Prepare(edit, "", 0);
  Type("disc1");
  EXPECT_EQ(edit->GetValue(), "DISC1");
  EXPECT_EQ(edit->GetInsertionPoint(), 5);
  Prepare(edit, "AB", 1);
  Type("xy");
  EXPECT_EQ(edit->GetValue(), "AXYB");
  EXPECT_EQ(edit->GetInsertionPoint(), 3);
}

TEST_F(MainWindowKeys, Form2ExtTakesFourCharactersTypedOrPasted) {
  wxTextCtrl* edit = FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT);
  Prepare(edit, "", 0);
  Type("abcdef");
  EXPECT_EQ(edit->GetValue(), "abcd");
  edit->SelectAll();
  Type("zz");
  EXPECT_EQ(edit->GetValue(), "zz") << "typing over a selection replaces it";
  {
    wxClipboardLocker lock;
    ASSERT_FALSE(!lock);
    wxTheClipboard->SetData(new wxTextDataObject("xyzw"));
  }
  edit->Paste();
  PumpEvents();
  EXPECT_EQ(edit->GetValue(), "zzxy") << "as much of a paste as fits";
  // A middle click pastes the text selected last.
  Prepare(edit, "dat", 3);
  {
    wxClipboardLocker lock;
    ASSERT_FALSE(!lock);
    wxTheClipboard->UsePrimarySelection(true);
    wxTheClipboard->SetData(new wxTextDataObject("xyzw"));
    wxTheClipboard->UsePrimarySelection(false);
  }
  const wxRect rect = edit->GetScreenRect();
  sim.MouseMove(wxPoint(rect.GetRight() - 3, rect.y + rect.height / 2));  // after the text
  PumpEvents();
  sim.MouseClick(wxMOUSE_BTN_MIDDLE);
  EXPECT_TRUE(WaitFor([&] { return edit->GetValue() != "dat"; }, 3000));
  PumpEvents();
  EXPECT_EQ(edit->GetValue(), "datx");
  // A longer text set by the program (a loaded layout) is kept whole.
  edit->ChangeValue("mpeg2v");
  EXPECT_EQ(edit->GetValue(), "mpeg2v");
}

TEST_F(MainWindowKeys, ImageTargetEditCannotBeTypedInto) {
  wxTextCtrl* edit = FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH);
  const wxString before = edit->GetValue();
  EXPECT_FALSE(edit->IsEditable());
  Prepare(edit, before, 0);
  Type("xyz");
  EXPECT_EQ(edit->GetValue(), before);
}

TEST_F(MainWindowKeys, F1OpensTheAboutBox) {
  int shown = 0;
  dlg->FindWindow(ID_ADD_FILES)->SetFocus();
  PumpEvents();
  const auto pressF1 = [&] {
    sim.Char(WXK_F1);
    WaitFor([&] { return shown > 0; }, 3000);
  };
  wxTEST_DIALOG(pressF1(), ExpectAbout(&shown));
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(dlg->IsShown());
}

TEST_F(MainWindowKeys, EveryWayOfClosingClosesInIdleAndOnlyStopsARun) {
  struct Case {
    const char* name;
    std::function<void()> close;
  };
  const Case cases[] = {
      {"Exit button", [this] { Click(ID_EXIT); }},
      {"Escape", [this] {
         dlg->FindWindow(ID_ADD_FILES)->SetFocus();
         PumpEvents();
         sim.Char(WXK_ESCAPE);
       }},
      {"close box", [this] { dlg->Close(); }},
  };
  for (const Case& c : cases) {
    dlg->Show();
    PumpEvents();
    FindControl<wxButton>(dlg, ID_WRITE_ISO)->Disable();  // the Running state, as a run sets it
    c.close();
    PumpEvents();
    EXPECT_TRUE(dlg->IsShown()) << c.name;
    EXPECT_TRUE(FindControl<wxButton>(dlg, ID_WRITE_ISO)->IsEnabled()) << c.name << ": the run stopped, Idle again";
    dlg->SetReturnCode(0);
    c.close();
    EXPECT_TRUE(WaitFor([this] { return !dlg->IsShown(); }, 3000)) << c.name;
    EXPECT_EQ(dlg->GetReturnCode(), wxID_CANCEL) << c.name;
  }
}

TEST_F(MainWindowKeys, EnterInAnEditPressesWriteIsoAndKeepsTheWindow) {
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
}

// The option a selection gives is the option string's rule (tests/unit).
TEST_F(MainWindowKeys, TextTypedIntoTheIsoLevelBoxThatNamesALevelSelectsIt) {
  wxComboBox* box = FindControl<wxComboBox>(dlg, ID_ISO_LEVEL);
  box->SetFocus();
  ASSERT_TRUE(WaitFor([box] { return box->HasFocus(); }, 3000));
  const struct {
    const char* typed;
    int index;
  } cases[] = {{"ISO Level 2", 2}, {"iso level 1", 1}, {"ascii", 0}};
  for (const auto& c : cases) {
    box->SelectAll();
    Type(c.typed);
    EXPECT_TRUE(WaitFor([&] { return box->GetSelection() == c.index; }, 3000)) << c.typed;
  }
}
