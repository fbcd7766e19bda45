// The tree's icons: folders take the folder pair, files one theme icon per
// file type, added to the image list once.
#include <wx/imaglist.h>

#include "TreeFrame.h"

using TreeIcons = TreeFrameTest;

TEST_F(TreeIcons, OneIconPerFileType) {
  // An item's image, and its image when selected or open.
  const auto icons = [this](const wxTreeItemId& item) {
    return std::make_pair(Tree().GetItemImage(item), Tree().GetItemImage(item, wxTreeItemIcon_Selected));
  };
  const auto count = [this] { return Tree().GetImageList()->GetImageCount(); };
  EXPECT_EQ(count(), 3) << "closed folder, open folder, generic file";
  EXPECT_EQ(icons(Folder("Clips")), std::make_pair(0, 1));
  const auto avi = icons(File("a.avi"));
  EXPECT_GE(avi.first, 3) << "the theme has a video icon";
  EXPECT_EQ(avi.first, avi.second);
  EXPECT_EQ(icons(File("other/B.AVI")), avi) << "cached per type, any case";
  EXPECT_NE(icons(File("notes.txt")), avi);
  EXPECT_EQ(icons(File("d.x/noext")), std::make_pair(2, 2));
  EXPECT_EQ(icons(File("layout.kbv")), std::make_pair(2, 2));
  EXPECT_EQ(count(), 5);
  Tree().ResetTree();
  EXPECT_EQ(count(), 3) << "a reset starts a new image list";
  EXPECT_EQ(icons(File("b.avi")).first, 3);
}
