// The main window as its template makes it: the Tab key's walk, the controls'
// places and styles, each button's command by a real click; a template without
// one of its controls refused.

#include <wx/filesys.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <stdexcept>

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "ScreenGrab.h"
#include "common/ChooserRequests.h"

namespace {

class MainWindowTemplate : public MainWindowTest {
 protected:
  void ClickOn(int id) {  // a real click in the middle of a button
    const wxWindow* button = FindControl<wxButton>(dlg, id);
    sim.MouseMove(button->GetScreenRect().GetPosition() + button->GetSize() / 2);
    PumpEvents();
    sim.MouseClick();
    PumpEvents();
  }
};

// The controls the Tab key stops at, in its order from the first one.
const int TAB_STOPS[] = {ID_ADD_FILES, ID_ADD_MEDIA_FILES, ID_MAKE_FOLDER, ID_REMOVE, ID_ADD_FOLDER,
                         ID_SET_FORM2, ID_ISO_LEVEL, ID_SINGLE_TRACK, ID_KEEP_EXTENSION, ID_VIEW_PROMPT,
                         ID_SAVE, ID_LOAD, ID_CHOOSE_TARGET, ID_VOLUME_NAME, ID_FORM2_EXT,
                         ID_WRITE_ISO, ID_VIEW_CMD_LINE, ID_GENERATE_BATCH, ID_EXIT, ID_TREE};

TEST_F(MainWindowTemplate, TheTabKeyWalksTheControlsInTheirOrderAndShiftTabWalksBack) {
  ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == dlg->FindWindow(ID_ADD_FILES); }, 3000))
      << "the first tab stop has the focus";
  // Keys go to the display's input focus, maybe where an earlier test left it.
  FocusWindow(FindVisibleWindow(dlg->GetTitle().utf8_string()));
  // A control made of parts (the ISO level box) has the focus in a child, and
  // may take a Tab for a part wx does not see: such a stop is not counted.
  const auto focusedId = [] {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
      for (int id : TAB_STOPS) {
        if (w->GetId() == id) return id;
      }
    }
    return 0;
  };
  std::vector<int> walked{focusedId()};
  for (int presses = 0; presses < 40 && (walked.size() < 2 || walked.back() != ID_ADD_FILES);
       ++presses) {
    const wxWindow* from = wxWindow::FindFocus();
    sim.Char(WXK_TAB);
    WaitFor([&] { return wxWindow::FindFocus() != from; }, 3000);
    if (focusedId() != 0 && focusedId() != walked.back()) walked.push_back(focusedId());
  }
  std::vector<int> expected(std::begin(TAB_STOPS), std::end(TAB_STOPS));
  expected.push_back(ID_ADD_FILES);  // round again
  EXPECT_EQ(walked, expected);

  sim.Char(WXK_TAB, wxMOD_SHIFT);
  EXPECT_TRUE(WaitFor([&] { return focusedId() == ID_TREE; }, 3000)) << focusedId();
}

// Every control inside the window, uncovered, with its whole text; the plan
// line below the template's controls; the styles.
TEST_F(MainWindowTemplate, ControlsAreWholeApartAndStyledAsTheTemplateMakesThem) {
  const wxRect client(wxPoint(0, 0), dlg->GetClientSize());
  std::vector<wxWindow*> controls;
  for (wxWindow* child : dlg->GetChildren()) {
    if (child->IsShown() && !child->IsTopLevel()) controls.push_back(child);
  }
  ASSERT_EQ(controls.size(), 28u) << "24 controls, 3 labels of their own and the plan line";
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const wxRect rect = controls[i]->GetRect();
    EXPECT_TRUE(client.Contains(rect)) << controls[i]->GetId() << " leaves the window";
    // GTK's heights let neighbours touch; none may cover another's middle.
    const wxPoint middle(rect.x + rect.width / 2, rect.y + rect.height / 2);
    for (std::size_t j = 0; j < controls.size(); ++j) {
      EXPECT_TRUE(j == i || !controls[j]->GetRect().Contains(middle))
          << controls[j]->GetId() << " covers the middle of " << controls[i]->GetId();
    }
    if (dynamic_cast<wxStaticText*>(controls[i]) || dynamic_cast<wxCheckBox*>(controls[i])) {
      EXPECT_GE(rect.width, controls[i]->GetBestSize().x) << controls[i]->GetId() << " text cut";
    }
  }
  // The tree is the largest control: it takes the room the layout needs.
  for (wxWindow* control : controls) {
    if (control->GetId() == ID_TREE) continue;
    EXPECT_LT(control->GetSize().x * control->GetSize().y,
              Tree().GetSize().x * Tree().GetSize().y)
        << control->GetId();
  }
  // The template's 340 x 239 with the plan line below: no control moved.
  EXPECT_EQ(dlg->GetClientSize(), dlg->ConvertDialogToPixels(wxSize(340, 249)));
  const wxStaticText* line = FindControl<wxStaticText>(dlg, ID_PLAN_LINE);
  EXPECT_EQ(line->GetPosition(), dlg->ConvertDialogToPixels(wxPoint(7, 238)));
  EXPECT_EQ(line->GetSize(), dlg->ConvertDialogToPixels(wxSize(326, 9)));
  EXPECT_FALSE(line->CanAcceptFocusFromKeyboard());

  EXPECT_EQ(dlg->GetDefaultItem(), dlg->FindWindow(ID_WRITE_ISO));
  EXPECT_EQ(dlg->GetWindowStyleFlag() & (wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX), 0);
  EXPECT_TRUE(dlg->GetIcon().IsOk());
  EXPECT_EQ(Tree().GetWindowStyleFlag() & (wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_NO_LINES | wxTR_EDIT_LABELS),
            wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);
  for (int id : {ID_IMAGE_PATH, ID_REAL_PATH}) {
    EXPECT_FALSE(FindControl<wxTextCtrl>(dlg, id)->IsEditable()) << id;
    EXPECT_FALSE(FindControl<wxTextCtrl>(dlg, id)->CanAcceptFocusFromKeyboard()) << id;
  }
  EXPECT_TRUE(FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->IsEditable());
}

TEST_F(MainWindowTemplate, EachButtonRunsItsOwnCommand) {
  const std::string file = MakeFile("a.txt", "x");
  InsertPath(Tree(), file, wxTreeItemId());
  CDropTreeCtrl& tree = Tree();

  const std::pair<int, FileDialogRequest> choosers[] = {
      {ID_ADD_FILES, AddFilesRequest(false)}, {ID_ADD_MEDIA_FILES, AddFilesRequest(true)},
      {ID_SAVE, StructureFileRequest(false)}, {ID_LOAD, StructureFileRequest(true)},
      {ID_CHOOSE_TARGET, ImageTargetRequest()},
  };
  for (std::size_t i = 0; i < std::size(choosers); ++i) {
    chooser->fileAnswers.push_back(std::nullopt);
    ClickOn(choosers[i].first);
    ASSERT_TRUE(WaitFor([&] { return chooser->requests.size() == i + 1; }, 3000)) << choosers[i].first;
    EXPECT_TRUE(chooser->requests[i] == choosers[i].second) << choosers[i].first;
  }

  chooser->folderAnswers.push_back(std::nullopt);
  ClickOn(ID_ADD_FOLDER);
  EXPECT_TRUE(WaitFor([&] { return chooser->folderRequests == 1; }, 3000));

  wxTEST_DIALOG(ClickOn(ID_MAKE_FOLDER);
                WaitFor([&] { return TreePicture(tree) == "a.txt,NEW{}"; }, 3000),
                ExpectFolderName({"NEW"}));
  EXPECT_EQ(TreePicture(tree), "a.txt,NEW{}");

  tree.SelectItem(ItemAt(tree, "a.txt"));
  ClickOn(ID_SET_FORM2);
  EXPECT_TRUE(WaitFor([&] { return TreePicture(tree) == "a.txt*,NEW{}"; }, 3000));
  tree.SelectItem(ItemAt(tree, "NEW"));
  ClickOn(ID_REMOVE);
  EXPECT_TRUE(WaitFor([&] { return TreePicture(tree) == "a.txt*"; }, 3000));

  // With a file to write; Exit reads "Stop" during the run, and ends it.
  wxTEST_DIALOG(ClickOn(ID_VIEW_CMD_LINE),
                ExpectMessage(" -o \"" + startupDir + "/image\" -v \"BRENVOX\" -e \"dat\" -m \"" + file +
                              "\"\n\nTOTAL ESTIMATED SIZE : 0 Kb"));
  wxTEST_DIALOG(ClickOn(ID_GENERATE_BATCH),
                ExpectMessage("Batch file saved in \"" + startupDir + "/image.bat\""));
  WriteTool("#!/bin/sh\nexec sleep 60\n");
  ClickOn(ID_WRITE_ISO);
  const wxButton* exit = FindControl<wxButton>(dlg, ID_EXIT);
  ASSERT_TRUE(WaitFor([&] { return exit->GetLabel() == "Stop"; }, 3000));
  ClickOn(ID_EXIT);
  EXPECT_TRUE(WaitFor([&] { return exit->GetLabel() == "Exit"; }, 5000));
  EXPECT_TRUE(dlg->IsShown()) << "Exit during a run stops it and keeps the window";
}

// The main window's template without one control, in place of the program's
// own for the life of the object.
class TemplateWithout {
 public:
  explicit TemplateWithout(const wxString& controlName) : m_own(wxXmlResource::Set(&m_altered)) {
    m_altered.InitAllHandlers();
    wxFileSystem fs;
    const wxString name = fs.FindFirst("memory:XRC_resource/*main.xrc");
    std::unique_ptr<wxFSFile> file(fs.OpenFile(name));
    if (!file) throw std::runtime_error("the embedded main window template is not found");
    auto* doc = new wxXmlDocument(*file->GetStream());
    Remove(doc->GetRoot(), controlName);
    m_altered.LoadDocument(doc, name);  // takes the document; icons found beside it
  }
  ~TemplateWithout() { wxXmlResource::Set(m_own); }
  TemplateWithout(const TemplateWithout&) = delete;
  TemplateWithout& operator=(const TemplateWithout&) = delete;

 private:
  static void Remove(wxXmlNode* node, const wxString& controlName) {
    for (wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
      if (child->GetAttribute("name") == controlName) {
        node->RemoveChild(child);
        delete child;
        return;
      }
      Remove(child, controlName);
    }
  }
  wxXmlResource m_altered;
  wxXmlResource* m_own;
};

}  // namespace

TEST(MainWindowTemplateLoad, AControlMissingFromTheTemplateStopsTheWindowWithItsName) {
  for (const char* name : {"ID_REMOVE", "ID_TREE", "wxID_OK"}) {
    const TemplateWithout altered(name);
    const TempFolder dir;
    try {
      MainDialog window(nullptr, dir.Path(), std::make_unique<ScriptedChooser>());
      ADD_FAILURE() << name << ": the window was made without it";
    } catch (const std::logic_error& error) {
      EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
  }
}
