// The tree's icons: folders take the folder pair, files one theme icon per
// file type, added to the image list once.
#include <wx/imaglist.h>

#include "TreeFrame.h"

struct CDropTreeCtrlTestAccess {
  static std::pair<int, int> IconsFor(CDropTreeCtrl* tree, const std::string& path, bool folder) {
    return tree->IconsFor(path, folder);
  }
  static int IconCount(CDropTreeCtrl* tree) { return tree->GetImageList()->GetImageCount(); }
};

using TreeIcons = TreeFrameTest;

TEST_F(TreeIcons, OneIconPerFileType) {
  using Access = CDropTreeCtrlTestAccess;
  CDropTreeCtrl* tree = &Tree();
  const int start = Access::IconCount(tree);
  EXPECT_EQ(start, 3) << "closed folder, open folder, generic file";
  EXPECT_EQ(Access::IconsFor(tree, "/d/Clips", true), std::make_pair(0, 1));
  const auto avi = Access::IconsFor(tree, "/d/a.avi", false);
  EXPECT_GE(avi.first, 3) << "the theme has a video icon";
  EXPECT_EQ(avi.first, avi.second);
  EXPECT_EQ(Access::IconsFor(tree, "/d/other/B.AVI", false), avi) << "cached per type, any case";
  const auto txt = Access::IconsFor(tree, "/d/notes.txt", false);
  EXPECT_NE(txt, avi);
  EXPECT_EQ(Access::IconsFor(tree, "/d.x/noext", false), std::make_pair(2, 2));
  EXPECT_EQ(Access::IconsFor(tree, "/d/layout.kbv", false), std::make_pair(2, 2));
  EXPECT_EQ(Access::IconCount(tree), start + 2);
  tree->ResetTree();
  EXPECT_EQ(Access::IconCount(tree), 3) << "a reset starts a new image list";
  EXPECT_EQ(Access::IconsFor(tree, "/d/a.avi", false).first, 3);
}
