// CMFileDialog as each command builds it (never shown: GTK file dialogs are
// answered through the FileChooser in the other tests).
#include "GuiFixture.h"
#include "app/CMFileDialog.h"
#include "app/FileFilter.h"
#include "app/LayoutApp.h"
#include "app/MainDialog.h"

#include <wx/frame.h>
#include <wx/testing.h>

TEST(FileDialog, ModesFlagsFiltersAndTitles) {
  struct Case {
    const char* name;
    bool openMode;
    const char* ext;
    long flags;
    const char* filter;
    const char* title;
    long style;
    const char* shownTitle;
  };
  const Case cases[] = {
      {"Add Files", true, "", 0x1204, "", "Open Files (Form1)",
       wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST, "Open Files (Form1)"},
      {"Add Media Files", true, "", 0x1204, MEDIA_FILTER, "Open Video/Audio Files (Form2)",
       wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST, "Open Video/Audio Files (Form2)"},
      {"Save", false, "kbv", 0x1004, STRUCTURE_FILTER, "", wxFD_SAVE, "Save As"},
      {"Load", true, "kbv", 0x1004, STRUCTURE_FILTER, "", wxFD_OPEN | wxFD_FILE_MUST_EXIST, "Open"},
      {"image target", false, "", 0x1004, CHOOSER_FILTER, "", wxFD_SAVE, "Save As"},
  };
  for (const Case& c : cases) {
    CMFileDialog dialog(c.openMode, c.ext, "", c.flags, c.filter);
    if (*c.title) dialog.SetDialogTitle(c.title);
    EXPECT_EQ(dialog.GetWindowStyleFlag() & (wxFD_OPEN | wxFD_SAVE | wxFD_MULTIPLE |
                                             wxFD_FILE_MUST_EXIST | wxFD_OVERWRITE_PROMPT),
              c.style)
        << c.name;
    // The filter in wx's form (its texts are unit-tested); "" lists every file.
    const std::string wildcard = ToWxWildcard(c.filter);
    EXPECT_EQ(dialog.GetWildcard().utf8_string(), wildcard) << c.name;
    if (!wildcard.empty()) {
      EXPECT_EQ(dialog.GetFilterIndex(), 0) << c.name << ": the first entry is selected";
    }
    EXPECT_EQ(dialog.GetMessage().utf8_string(), c.shownTitle) << c.name;
    EXPECT_TRUE(dialog.ChosenPaths().empty()) << c.name;
  }
}

namespace {

// Cancels a file dialog after checking the window it opened over.
class ExpectFileDialogOver : public wxExpectModalBase<wxFileDialog, ExpectFileDialogOver> {
 public:
  explicit ExpectFileDialogOver(wxWindow* parent) : m_parent(parent) {}

 protected:
  int OnInvoked(wxFileDialog* dialog) const override {
    EXPECT_EQ(dialog->GetParent(), m_parent);
    return wxID_CANCEL;
  }

 private:
  wxWindow* m_parent;
};

}  // namespace

TEST(FileDialog, TheProgramsFileDialogsOpenOverTheMainWindow) {
  const std::unique_ptr<MainDialog> window = MakeMainWindow(PlacesInFolder(wxGetCwd().utf8_string()));
  window->Show();  // a dialog takes a parent that is on screen
  // Without a parent of its own a dialog would go over the application's top
  // window: make that another one.
  wxFrame* other = new wxFrame(nullptr, wxID_ANY, "other");
  other->Show();
  wxWindow* const top = wxTheApp->GetTopWindow();
  wxTheApp->SetTopWindow(other);
  other->Raise();
  other->SetFocus();
  wxTEST_DIALOG(window->OnLoad(), ExpectFileDialogOver(window.get()));
  wxTheApp->SetTopWindow(top);
  other->Destroy();
}
