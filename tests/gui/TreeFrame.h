// The layout tree on a small frame of its own, placed as the main window
// places it: the tree showing a model, "Real Path Of Files" and the buttons
// that edit the layout (Add Files, Add Media Files, Add Folder, Make Folder,
// Remove, Set/Unset Form2), each with the main window's id. Tests of the tree
// and its gestures run here without building the whole window.
#pragma once

#include <wx/frame.h>

#include "GuiFixture.h"
#include "layout/LayoutModel.h"
#include "layout/window/LayoutButtons.h"

class TreeFrameTest : public GuiTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  wxWindow* Root() const override;

  LayoutModel model;
  ScriptedChooser* chooser = nullptr;  // answers the buttons' file and folder choosers
  wxFrame* frame = nullptr;

 private:
  ScriptedChooser m_chooser;
  std::unique_ptr<LayoutButtons> m_buttons;
};
