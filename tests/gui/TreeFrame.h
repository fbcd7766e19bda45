// The layout tree on a small frame, placed as in the main window: the tree on
// a model, "Real Path Of Files" and the buttons that edit the layout, each
// with the main window's id.
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
