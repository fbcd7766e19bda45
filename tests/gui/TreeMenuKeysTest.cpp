// The tree's context menu from the keyboard (Shift+F10, the Menu key) and
// from a quick second right click, through real input.
#include <wx/menu.h>

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "ScreenGrab.h"

namespace {

// On the whole window, where the keys reach the tree as in the program. The
// menu names its target: "item", or "nothing" when Remove is grayed.
using TreeMenuKeys = MainWindowTest;

TEST_F(TreeMenuKeys, BothMenuKeysAndAQuickSecondRightClickOpenTheMenu) {
  int shown = 0;
  std::string target;
  Tree().SetMenuPresenter([&](wxMenu& menu) {
    ++shown;
    target = menu.IsEnabled(IDM_REMOVE) ? "item" : "nothing";
  });
  const wxTreeItemId file = File("a.txt");
  const struct {
    const char* name;
    wxTreeItemId item;
  } cases[] = {{"nothing", wxTreeItemId()}, {"item", file}};
  const struct {
    const char* name;
    int key;
    int modifiers;
  } keys[] = {{"Shift+F10", WXK_F10, wxMOD_SHIFT}, {"Menu", WXK_MENU, wxMOD_NONE}};
  Tree().SetFocus();
  ASSERT_TRUE(WaitFor([&] { return Tree().HasFocus(); }, 3000));
  // Keys go to the display's input focus, maybe where an earlier test left it.
  FocusWindow(FindVisibleWindow(dlg->GetTitle().utf8_string()));
  for (const auto& key : keys) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(key.name) + ", " + c.name);
      if (c.item.IsOk()) {
        Tree().SelectItem(c.item);
      } else {
        Tree().Unselect();
      }
      const int before = shown;
      sim.Char(key.key, key.modifiers);
      ASSERT_TRUE(WaitFor([&] { return shown > before; }, 3000));
      PumpEvents();
      EXPECT_EQ(shown, before + 1) << "one menu";
      EXPECT_EQ(target, c.name);
      wxRect row;
      if (c.item.IsOk()) {
        ASSERT_TRUE(Tree().GetBoundingRect(c.item, row, true));
      }
      EXPECT_EQ(Tree().MenuPoint(), c.item.IsOk() ? row.GetBottomLeft() : wxPoint(0, 0));
      EXPECT_EQ(Tree().SelectedItem(), c.item);
    }
  }

  // The second of two right clicks within the double-click time.
  shown = 0;
  sim.MouseMove(Tree().ClientToScreen(PointOn(Tree(), file)));
  PumpEvents();
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  EXPECT_TRUE(WaitFor([&] { return shown == 2; }, 3000)) << shown << " menus";
}

}  // namespace
