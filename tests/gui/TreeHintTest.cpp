// What the tree draws over itself: the hint, and a long name's tooltip.

#include "EditingSupport.h"
#include "TreeFrame.h"
#include "ScreenGrab.h"

using TreeHint = TreeFrameTest;

// The hint over the empty tree until the first gesture, never again after. A
// name too long for the tree, hovered, shows a tooltip shortened in its middle
// to no wider than the window.
TEST_F(TreeHint, IsPaintedUntilClearedAndALongNamesTooltipIsNoWiderThanTheWindow) {
  CDropTreeCtrl* tree = &Tree();
  ASSERT_TRUE(WaitFor([this] { return frame->IsShownOnScreen(); }, 5000));
  const wxPoint inside = tree->ClientToScreen(wxPoint(113, 156));  // fill, clear of the text
  const wxPoint outside = tree->ClientToScreen(wxPoint(105, 156));
  tree->Refresh();
  tree->Update();
  PumpEvents();
  EXPECT_EQ(ScreenPixel(inside), wxColour(224, 224, 214));
  EXPECT_NE(ScreenPixel(outside), wxColour(224, 224, 214));
  tree->ClearHint();
  EXPECT_FALSE(tree->ShowHint());
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(inside) == ScreenPixel(outside); }, 3000))
      << "the hint is gone: " << ScreenPixel(inside).GetAsString(wxC2S_HTML_SYNTAX).utf8_string()
      << " vs " << ScreenPixel(outside).GetAsString(wxC2S_HTML_SYNTAX).utf8_string();
  tree->ResetTree();
  tree->Refresh();
  tree->Update();
  PumpEvents();
  EXPECT_FALSE(tree->ShowHint()) << "never shown again";
  EXPECT_EQ(ScreenPixel(inside), ScreenPixel(outside));

  const wxTreeItemId item = File("begin" + std::string(236, 'w') + "end.txt");
  sim.MouseMove(tree->ClientToScreen(wxPoint(tree->GetClientSize().x - 5, 2)));
  PumpEvents();
  sim.MouseMove(tree->ClientToScreen(PointOn(*tree, item)));
  ASSERT_TRUE(WaitFor([&] { return !tree->GetToolTipText().empty(); }, 3000)) << "no tooltip";
  const wxString tip = tree->GetToolTipText();
  EXPECT_TRUE(tip.StartsWith("begin") && tip.EndsWith("end.txt")) << tip;
  EXPECT_LE(tree->GetTextExtent(tip).x, frame->GetSize().x) << tip.length() << " characters";
  // The pointer leaves, and the tooltip goes before the next test's window.
  sim.MouseMove(frame->GetScreenPosition() + frame->GetSize());
  tree->UnsetToolTip();
  PumpEvents();
}
