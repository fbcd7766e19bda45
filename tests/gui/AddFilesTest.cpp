// Add Files and Add Media Files through their buttons and the scripted chooser.

#include "EditingSupport.h"
#include "GuiFixture.h"

namespace {

using AddFilesTest = TreeFrameTest;

// What each button asks its chooser is MainWindowTemplate's (ButtonClicks).
TEST_F(AddFilesTest, FilesGoToTheTopLevelInOrderAndTheLastIsSelected) {
  chooser->fileAnswers = {std::nullopt};
  ASSERT_TRUE(Click(ID_ADD_MEDIA_FILES));
  EXPECT_FALSE(Tree().ShowHint()) << "a cancelled command clears the hint for good";
  const std::string a = MakeFile("clips/a.avi"), b = MakeFile("clips/b.mpg");
  const std::string quoted = MakeFile("say \"hi\".avi"), gone = startupDir + "/data/gone.avi";
  Tree().SelectItem(Folder("Folder"));  // a selected folder plays no part
  chooser->fileAnswers = {std::vector<std::string>{b, gone, quoted, a}};
  wxTEST_DIALOG(Click(ID_ADD_MEDIA_FILES), ExpectMessage("Cannot find " + gone),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},b.mpg*,a.avi*");
  EXPECT_EQ(Tree().SelectedItem(), ItemAt(Tree(), "a.avi"));
  EXPECT_EQ(RealPath(), a);

  // Form 1, a second item of the same file; the last vanished: nothing
  // selected, the path display kept.
  chooser->fileAnswers = {std::vector<std::string>{b, gone}};
  wxTEST_DIALOG(Click(ID_ADD_FILES), ExpectMessage("Cannot find " + gone));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},b.mpg*,a.avi*,b.mpg");
  EXPECT_FALSE(Tree().SelectedItem().IsOk());
  EXPECT_EQ(RealPath(), b);
}

}  // namespace
