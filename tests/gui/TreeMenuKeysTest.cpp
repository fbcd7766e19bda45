// The tree's context menu from the keyboard (Shift+F10, the Menu key) and
// from a quick second right click, through real input.
#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <set>

#include "EditingSupport.h"
#include "GuiFixture.h"

namespace {

// On the whole window: its menu has every entry, and the keys reach the tree
// as they do in the program.
class TreeMenuKeys : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Tree().SetMenuPresenter([this](wxMenu& menu) {
      ++shown;
      offered.clear();
      for (const wxMenuItem* entry : menu.GetMenuItems()) {
        if (!entry->IsSeparator() && entry->IsEnabled()) offered.insert(entry->GetId());
      }
    });
  }
  int shown = 0;
  std::set<int> offered;
  wxUIActionSimulator sim;
};

TEST_F(TreeMenuKeys, BothMenuKeysOpenTheMenuAtTheSelectionWithARightClicksEntries) {
  const wxTreeItemId folder = Folder("Video");
  const wxTreeItemId file = File("a.txt");
  const struct {
    const char* name;
    wxTreeItemId item;
    std::set<int> offered;
  } cases[] = {
      {"nothing", wxTreeItemId(), {IDM_MAKE_FOLDER, IDM_REMOVE_ALL, IDM_OPEN_IMAGE}},
      {"folder", folder,
       {IDM_MAKE_FOLDER, IDM_SET_FORM2, IDM_RENAME, IDM_REMOVE, IDM_REMOVE_ALL, IDM_OPEN_IMAGE}},
      {"file", file,
       {IDM_MAKE_FOLDER, IDM_SET_FORM2, IDM_BROWSE_FOLDER, IDM_REMOVE, IDM_REMOVE_ALL, IDM_OPEN_IMAGE}},
  };
  const struct {
    const char* name;
    int key;
    int modifiers;
  } keys[] = {{"Shift+F10", WXK_F10, wxMOD_SHIFT}, {"Menu", WXK_MENU, wxMOD_NONE}};
  Tree().SetFocus();
  ASSERT_TRUE(WaitFor([&] { return Tree().HasFocus(); }, 3000));
  for (const auto& key : keys) {
    for (const auto& c : cases) {
      if (c.item.IsOk()) {
        Tree().SelectItem(c.item);
      } else {
        Tree().Unselect();
      }
      const int before = shown;
      sim.Char(key.key, key.modifiers);
      ASSERT_TRUE(WaitFor([&] { return shown > before; }, 3000)) << key.name << ", " << c.name;
      PumpEvents();
      EXPECT_EQ(shown, before + 1) << key.name << ", " << c.name << ": one menu";
      EXPECT_EQ(offered, c.offered) << key.name << ", " << c.name;
      wxRect row;
      if (c.item.IsOk()) {
        ASSERT_TRUE(Tree().GetBoundingRect(c.item, row, true));
      }
      EXPECT_EQ(Tree().MenuPoint(), c.item.IsOk() ? row.GetBottomLeft() : wxPoint(0, 0))
          << key.name << ", " << c.name;
      EXPECT_EQ(Tree().SelectedItem(), c.item) << key.name << ", " << c.name;
    }
  }
}

TEST_F(TreeMenuKeys, ASecondQuickRightClickOpensTheMenuAgain) {
  const wxTreeItemId file = File("a.txt");
  sim.MouseMove(Tree().ClientToScreen(PointOn(Tree(), file)));
  PumpEvents();
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  sim.MouseClick(wxMOUSE_BTN_RIGHT);  // within the double-click time
  EXPECT_TRUE(WaitFor([&] { return shown == 2; }, 3000)) << shown << " menus";
}

}  // namespace
