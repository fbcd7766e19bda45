#include "TreeFrame.h"

#include <wx/frame.h>
#include <wx/panel.h>

void TreeFrameTest::SetUp() {
  GuiTest::SetUp();
  if (HasFatalFailure()) return;
  chooser = &m_chooser;
  frame = new wxFrame(nullptr, wxID_ANY, "Layout tree");
  auto* panel = new wxPanel(frame);
  const auto at = [panel](int x, int y) { return panel->ConvertDialogToPixels(wxPoint(x, y)); };
  const auto size = [panel](int w, int h) { return panel->ConvertDialogToPixels(wxSize(w, h)); };
  auto* tree = new CDropTreeCtrl(panel, ID_TREE, at(78, 7), size(255, 159),
                                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT |
                                     wxTR_SINGLE | wxBORDER_SUNKEN);
  auto* realPath = new wxTextCtrl(panel, ID_REAL_PATH, wxString(), at(78, 186), size(255, 12),
                                  wxTE_READONLY | wxBORDER_SUNKEN);
  m_buttons = std::make_unique<LayoutButtons>(*tree, m_chooser);
  LayoutButtons* buttons = m_buttons.get();
  // Each button where the main window's template puts it (dialog units).
  const struct {
    int id;
    const char* label;
    int top;
    std::function<void()> command;
  } places[] = {
      {ID_ADD_FILES, "Add Files", 7, [buttons] { buttons->AddFiles(false); }},
      {ID_ADD_MEDIA_FILES, "Add Media Files", 23, [buttons] { buttons->AddFiles(true); }},
      {ID_ADD_FOLDER, "Add Folder", 39, [buttons] { buttons->AddFolder(); }},
      {ID_MAKE_FOLDER, "Make Folder", 55, [buttons] { buttons->MakeFolder(); }},
      {ID_REMOVE, "Remove", 71, [buttons] { buttons->Remove(); }},
      {ID_SET_FORM2, "Set/Unset Form2", 87, [buttons] { buttons->ToggleForm2(); }},
  };
  for (const auto& place : places) {
    new wxButton(panel, place.id, place.label, at(7, place.top), size(66, 13));
    panel->Bind(wxEVT_BUTTON, [command = place.command](wxCommandEvent&) { command(); }, place.id);
  }
  tree->Attach(model, realPath, FindControl<wxButton>(panel, ID_REMOVE));
  frame->SetClientSize(size(340, 205));
  frame->Show();
  PumpEvents();
}

void TreeFrameTest::TearDown() {
  if (frame) {
    wxFrame* window = frame;
    frame = nullptr;
    DestroyAndWait(window);
  }
  m_buttons.reset();
  GuiTest::TearDown();
}

wxWindow* TreeFrameTest::Root() const { return frame; }
