// The main window's template: every control with its id, caption, place in
// dialog units and tab order; the default button; the tree's style.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <vector>

#include "GuiFixture.h"
#include "layout/DropTreeCtrl.h"

namespace {

struct ControlCase {
  int id;
  const char* caption;  // nullptr: no caption to check
  int x, y, w, h;       // dialog units; h 0: the control's own height
  bool exactWidth;      // false: labels may be widened to fit their text
};

// In tab order.
const ControlCase CONTROLS[] = {
    {ID_ADD_FILES, "Add Files", 7, 7, 65, 13, true},
    {ID_ADD_MEDIA_FILES, "Add Media Files", 7, 23, 65, 13, true},
    {ID_MAKE_FOLDER, "Make Folder", 7, 55, 65, 13, true},
    {ID_REMOVE, "Remove", 7, 71, 65, 13, true},
    {ID_ADD_FOLDER, "Add Folder", 7, 39, 65, 13, true},
    {ID_SET_FORM2, "Set/Unset Form2", 7, 87, 66, 13, true},
    {ID_ISO_LEVEL, nullptr, 8, 103, 64, 0, true},
    {ID_SINGLE_TRACK, "Single Track", 7, 118, 53, 0, false},
    {ID_KEEP_EXTENSION, "Keep Extension", 7, 128, 64, 0, false},
    {ID_VIEW_PROMPT, "View Prompt", 7, 138, 53, 0, false},
    {ID_SAVE, "Save", 8, 150, 31, 16, true},
    {ID_LOAD, "Load", 42, 150, 31, 16, true},
    {ID_IMAGE_PATH, nullptr, 78, 170, 88, 12, true},
    {ID_CHOOSE_TARGET, "...", 166, 170, 13, 12, true},
    {ID_VOLUME_NAME, nullptr, 225, 170, 49, 12, true},
    {ID_FORM2_EXT, nullptr, 311, 170, 22, 12, true},
    {ID_REAL_PATH_LABEL, "Real Path Of Files", 14, 188, 59, 8, false},
    {ID_REAL_PATH, nullptr, 78, 186, 255, 12, true},
    {ID_PROGRESS, nullptr, 7, 202, 326, 12, true},
    {ID_WRITE_ISO, "Write ISO", 36, 218, 50, 17, true},
    {ID_VIEW_CMD_LINE, "View Cmd Line", 104, 218, 52, 17, true},
    {ID_GENERATE_BATCH, "Generate Batch", 175, 218, 54, 17, true},
    {ID_EXIT, "Exit", 248, 218, 50, 17, true},
    {ID_TREE, nullptr, 78, 7, 255, 159, true},
};

}  // namespace

using MainWindowTemplate = MainWindowTest;

TEST_F(MainWindowTemplate, ControlsSitWhereTheTemplatePutsThem) {
  for (const ControlCase& c : CONTROLS) {
    wxWindow* control = dlg->FindWindow(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    if (c.caption) {
      EXPECT_EQ(control->GetLabel(), c.caption) << c.id;
    }
    EXPECT_EQ(control->GetPosition(), dlg->ConvertDialogToPixels(wxPoint(c.x, c.y))) << c.id;
    const wxSize size = dlg->ConvertDialogToPixels(wxSize(c.w, c.h));
    if (c.exactWidth) {
      EXPECT_EQ(control->GetSize().x, size.x) << c.id;
    } else {
      EXPECT_GE(control->GetSize().x, size.x) << c.id;
      EXPECT_GE(control->GetSize().x, control->GetBestSize().x) << c.id << " text cut";
    }
    if (c.h > 0 && c.exactWidth) {
      EXPECT_EQ(control->GetSize().y, size.y) << c.id;
    }
  }
  // The template's 340 x 239 with the plan line below the buttons: every
  // control of the template stays where it is.
  EXPECT_EQ(dlg->GetClientSize(), dlg->ConvertDialogToPixels(wxSize(340, 249)));
  const wxWindow* line = dlg->FindWindow(ID_PLAN_LINE);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->GetPosition(), dlg->ConvertDialogToPixels(wxPoint(7, 238)));
  EXPECT_EQ(line->GetSize(), dlg->ConvertDialogToPixels(wxSize(326, 9)));
  EXPECT_FALSE(line->CanAcceptFocusFromKeyboard());
}

TEST_F(MainWindowTemplate, TabOrderFollowsTheTemplate) {
  std::vector<int> expected;
  for (const ControlCase& c : CONTROLS) expected.push_back(c.id);
  std::vector<int> actual;
  for (wxWindow* child : dlg->GetChildren()) {
    for (const ControlCase& c : CONTROLS) {
      if (child->GetId() == c.id) actual.push_back(c.id);
    }
  }
  EXPECT_EQ(actual, expected);
  EXPECT_FALSE(dlg->ImagePathEdit()->CanAcceptFocusFromKeyboard());
  EXPECT_FALSE(dlg->RealPathEdit()->CanAcceptFocusFromKeyboard());
  EXPECT_TRUE(dlg->VolumeNameEdit()->CanAcceptFocusFromKeyboard());
  EXPECT_EQ(wxWindow::FindFocus(), dlg->FindWindow(ID_ADD_FILES)) << "first tab stop has focus";
}

TEST_F(MainWindowTemplate, StylesOfTheWindowAndItsControls) {
  EXPECT_EQ(dlg->GetDefaultItem(), dlg->WriteIsoButton());
  EXPECT_FALSE(dlg->HasFlag(wxRESIZE_BORDER));
  EXPECT_FALSE(dlg->HasFlag(wxMINIMIZE_BOX));
  EXPECT_FALSE(dlg->HasFlag(wxMAXIMIZE_BOX));
  EXPECT_TRUE(dlg->GetIcon().IsOk());
  CDropTreeCtrl* tree = dlg->Tree();
  EXPECT_TRUE(tree->HasFlag(wxTR_HAS_BUTTONS));
  EXPECT_TRUE(tree->HasFlag(wxTR_LINES_AT_ROOT));
  EXPECT_FALSE(tree->HasFlag(wxTR_NO_LINES));
  EXPECT_FALSE(tree->HasFlag(wxTR_EDIT_LABELS));
  EXPECT_FALSE(dlg->ImagePathEdit()->IsEditable());
  EXPECT_FALSE(dlg->RealPathEdit()->IsEditable());
  EXPECT_TRUE(dlg->VolumeNameEdit()->IsEditable());
  EXPECT_EQ(dlg->FindWindow(ID_REAL_PATH_LABEL)->GetLabel(), "Real Path Of Files");
}
