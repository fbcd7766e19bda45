// Dragging items inside the tree, by its events and by the real mouse, and
// dropping paths from the file manager.

#include "EditingSupport.h"
#include "GuiFixture.h"

namespace {

class DragDropTest : public TreeFrameTest {
 protected:
  void MouseAt(wxEventType type, const wxPoint& point) {
    wxMouseEvent event(type);
    event.SetPosition(point);
    event.SetEventObject(&Tree());
    Send(event);
  }
  // The drag of item begun, as the tree reports a press and move on it.
  void BeginDrag(const wxTreeItemId& item) {
    MouseAt(wxEVT_MOTION, PointOn(Tree(), item));
    MouseAt(wxEVT_LEFT_DOWN, PointOn(Tree(), item));
    wxTreeEvent begin(wxEVT_TREE_BEGIN_DRAG, &Tree(), item);
    Send(begin);
  }
  void DragTo(const wxTreeItemId& item, const wxPoint& end) {
    BeginDrag(item);
    ASSERT_TRUE(Tree().IsDragging());
    MouseAt(wxEVT_MOTION, end);
    MouseAt(wxEVT_LEFT_UP, end);
    EXPECT_FALSE(Tree().IsDragging());
    EXPECT_FALSE(Tree().HasCapture());
  }
  // Paths dropped from the file manager while the pointer was last seen at point.
  void DropFromShell(const wxPoint& point, const std::vector<std::string>& paths) {
    MouseAt(wxEVT_MOTION, point);
    auto* files = new wxString[paths.size()];  // the event owns the array
    for (std::size_t i = 0; i < paths.size(); ++i) files[i] = wxString::FromUTF8(paths[i]);
    wxDropFilesEvent drop(wxEVT_DROP_FILES, static_cast<int>(paths.size()), files);
    Send(drop);
  }
  // A real press at from, then down step pixels a motion until the tree starts
  // a drag; then to.
  void PressAndMoveDown(const wxPoint& from, const wxPoint& to, int step) {
    sim.MouseMove(from);
    PumpEvents();
    sim.MouseDown();
    PumpEvents();
    for (wxPoint at = from + wxPoint(0, step); at.y < to.y && !Tree().IsDragging(); at.y += step) {
      sim.MouseMove(at);
      PumpEvents();
    }
    sim.MouseMove(to);
    PumpEvents();
  }
};

// Which drops move what is LayoutCommandsTest's; here, for each kind of place
// released over, where the item is shown and what is selected. A moved folder
// is shown with its subtree, and bold when its own flag is set.
TEST_F(DragDropTest, EachDragMovesTheItemAfterTheTargetFoldersChildrenOrNothing) {
  const std::string before = "A#1{S#2{a1.txt*#3},a2.txt#4},B#5{b1.txt#6,b2.txt#7},t1.txt#8";
  const struct {
    const char* item;
    const char* target;  // "-" outside the tree
    const char* after;
    const char* selected;
  } cases[] = {
      {"A/S/a1.txt", "B/b2.txt", "A#1{S#2{},a2.txt#4},B#5{b1.txt#6,b2.txt#7,a1.txt*#3},t1.txt#8", "B"},
      {"A/S/a1.txt", "-", "A#1{S#2{},a2.txt#4},B#5{b1.txt#6,b2.txt#7},t1.txt#8,a1.txt*#3", ""},
      {"B/b1.txt", "B/b2.txt", before.c_str(), "B/b2.txt"},
      {"A", "B", "B#5{b1.txt#6,b2.txt#7,A*#1{S#2{a1.txt*#3},a2.txt#4}},t1.txt#8", "B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.item) + " onto " + c.target);
    Tree().ResetTree();
    const wxTreeItemId a = Folder("A");
    MarkForm2(Tree(), File("a/a1.txt", Folder("S", a)));
    File("a/a2.txt", a);
    SetForm2(Tree(), a, true);  // the folder's own flag: not bold in place
    const wxTreeItemId b = Folder("B");
    File("b/b1.txt", b);
    File("b/b2.txt", b);
    File("t1.txt");
    Tree().ExpandAll();  // no row moves once the target's point is taken
    const std::string target = c.target;
    DragTo(ItemAt(Tree(), c.item), target == "-" ? wxPoint(-20, Tree().GetClientSize().y + 40)
                                                 : PointOn(Tree(), ItemAt(Tree(), target)));
    EXPECT_EQ(TreePicture(Tree(), {}, true), c.after);
    EXPECT_EQ(Tree().SelectedItem(), ItemAt(Tree(), c.selected));
    EXPECT_FALSE(Tree().ShowHint());
  }

  // Each way of removing the dragged item while the drag lasts ends the drag
  // without a move.
  const struct {
    const char* way;
    std::function<void()> remove;
    const char* after;
  } removals[] = {
      {"DEL on its folder", [&] { Tree().SelectItem(ItemAt(Tree(), "A")); PressKey(WXK_DELETE); }, "B{}"},
      {"Remove All", [&] { Tree().RunMenuCommand(IDM_REMOVE_ALL); }, ""},
      {"a new layout (Load)", [&] { Tree().ResetTree(); }, ""},
  };
  for (const auto& c : removals) {
    Tree().RemoveAll();
    const wxTreeItemId a = Folder("A");
    const wxTreeItemId f = File("a/f.txt", a);
    Folder("B");
    BeginDrag(f);
    ASSERT_TRUE(Tree().IsDragging() && Tree().HasCapture()) << c.way;
    c.remove();
    EXPECT_FALSE(Tree().IsDragging()) << c.way;
    EXPECT_FALSE(Tree().HasCapture()) << c.way << ": the mouse is free again";
    MouseAt(wxEVT_LEFT_UP, EmptySpace(Tree()));  // the release moves nothing
    EXPECT_EQ(TreePicture(Tree()), c.after) << c.way;
  }
}

// Where dropped paths go is LayoutCommandsTest's; a name a layout cannot keep
// is passed over, said once after the drop.
TEST_F(DragDropTest, PathsFromTheShellGoIntoTheFolderUnderThePointerOrTheTopLevel) {
  const wxTreeItemId a = Folder("A");
  File("old/a0.txt", a);
  File("old/top.txt");
  const std::string p1 = MakeFile("new/p1.avi"), p2 = MakeFile("new/p2.avi"),
                    p3 = MakeFile("new/p3.avi"), quoted = MakeFile("new/\"quoted\".txt");
  wxTEST_DIALOG(DropFromShell(PointOn(Tree(), a), {p1, quoted, p2, p3}),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "A{a0.txt,p1.avi,p2.avi,p3.avi},top.txt");
  EXPECT_EQ(Tree().SelectedItem(), ItemAt(Tree(), "A/p3.avi"));
  EXPECT_EQ(RealPath(), p3);
  EXPECT_FALSE(Tree().ShowHint());
}

// 1 pixel per motion, and 5 (the drag starts over the next row). The long
// label is pressed near its start: its middle is far outside the tree.
TEST_F(DragDropTest, ARealMouseDragMovesThePressedItemAtAnySpeedWithItsImageInsideTheTree) {
  const std::string name = "begin" + std::string(236, 'w') + "end.txt";
  for (const int step : {1, 5}) {
    SCOPED_TRACE(step);
    Tree().RemoveAll();
    const wxTreeItemId t1 = File(name);
    File("t2.txt");
    File("t3.txt");
    const wxTreeItemId a = Folder("A");
    Tree().SetFocus();
    PumpEvents();
    wxRect row;
    ASSERT_TRUE(Tree().GetBoundingRect(t1, row, true));
    const wxPoint from = Tree().ClientToScreen(wxPoint(row.x + 10, row.y + row.height / 2));
    PressAndMoveDown(from, Tree().ClientToScreen(PointOn(Tree(), a)), step);
    PumpEvents();
    ASSERT_TRUE(Tree().IsDragging());
    const wxRect image = Tree().DragImageRect();
    EXPECT_GT(image.width, 0);
    EXPECT_LE(image.width, Tree().GetClientSize().x) << "the image reaches past the tree";
    sim.MouseUp();
    EXPECT_TRUE(WaitFor([&] { return !Tree().IsDragging(); }, 3000));
    EXPECT_TRUE(Tree().DragImageRect().IsEmpty());
    EXPECT_EQ(TreePicture(Tree()), "t2.txt,t3.txt,A{" + name + "}");
  }
}

}  // namespace
