// Messages raised while a command inserts: shown once the tree is thawed, so
// the tree shows its items behind them; and a path too long to reach, said as
// such, shortened in its middle like every long line of a message.

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "common/window/MessageBox.h"

namespace {

using InsertionMessages = TreeFrameTest;

// The missing path was the last one: nothing ends selected.
TEST_F(InsertionMessages, TheTreeIsThawedAndShowsItsItemsWhileTheMessageIsOpen) {
  MakeFile("disk/Photos/one.jpg");
  MakeFile("disk/Photos/Trip/two.jpg");
  const std::string gone = startupDir + "/data/gone.txt";
  std::string text, shown;
  bool frozen = true;
  wxTEST_DIALOG(Tree().DropPaths({startupDir + "/data/disk/Photos", gone}),
                SeenMessage([&](const std::string& message) {
                  text = message;
                  frozen = Tree().IsFrozen();
                  shown = TreePicture(Tree());
                }));
  EXPECT_EQ(text, "Cannot find " + gone);
  EXPECT_FALSE(frozen);
  EXPECT_EQ(shown, "Photos{one.jpg,Trip{two.jpg}}");
  EXPECT_FALSE(Tree().SelectedItem().IsOk());

  const std::string path = startupDir + "/" + std::string(5000, 'a') + "/end.txt";
  wxTEST_DIALOG(Tree().DropPaths({path}),
                ExpectMessage(ShortenMiddle("The path is too long to reach: " + path, MESSAGE_LINE_CHARS)));
  EXPECT_EQ(TreePicture(Tree()), "Photos{one.jpg,Trip{two.jpg}}");
}

}  // namespace
