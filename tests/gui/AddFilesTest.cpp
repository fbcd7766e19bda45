// Add Files and Add Media Files through their buttons, with the file dialog
// answered by the scripted chooser: where the files go, what is selected, and
// the messages.

#include "EditingSupport.h"
#include "GuiFixture.h"

namespace {

using AddFilesTest = TreeFrameTest;

// What each button asks its chooser is MainWindowTemplate's (ButtonClicks).
TEST_F(AddFilesTest, MediaFilesGoToTheTopLevelInOrderBoldAndTheLastSelected) {
  chooser->fileAnswers = {std::nullopt};
  ASSERT_TRUE(Click(ID_ADD_MEDIA_FILES));
  EXPECT_FALSE(Tree().ShowHint()) << "a cancelled command clears the hint for good";
  const std::string a = MakeFile("clips/a.avi", "1"), b = MakeFile("clips/b.mpg", "2"),
                    c = MakeFile("clips/c.ogg", "3");
  Folder("Folder");
  Tree().SelectItem(ItemAt(Tree(), "Folder"));  // a selected folder plays no part
  chooser->fileAnswers = {std::vector<std::string>{c, a, b}};
  ASSERT_TRUE(Click(ID_ADD_MEDIA_FILES));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},c.ogg*,a.avi*,b.mpg*");
  EXPECT_EQ(Tree().SelectedItem(), ItemAt(Tree(), "b.mpg"));
  EXPECT_EQ(RealPath(), b);

  // Add Files: Form 1, and the same file again is simply a second item.
  chooser->fileAnswers = {std::vector<std::string>{a}};
  ASSERT_TRUE(Click(ID_ADD_FILES));
  EXPECT_EQ(TreePicture(Tree()), "Folder{},c.ogg*,a.avi*,b.mpg*,a.avi");
}

// A vanished file is reported as met; a name a layout cannot keep is passed
// over, with one message after the command.
TEST_F(AddFilesTest, AVanishedFileIsReportedAndMarksNothing) {
  const std::string a = MakeFile("a.avi"), b = MakeFile("b.avi");
  const std::string quoted = MakeFile("say \"hi\".avi"), gone = startupDir + "/data/gone.avi";
  chooser->fileAnswers = {std::vector<std::string>{a, gone, quoted, b}};
  wxTEST_DIALOG(Click(ID_ADD_MEDIA_FILES), ExpectMessage("Cannot find " + gone),
                ExpectMessage(NotAddedMessage(1, quoted)));
  EXPECT_EQ(TreePicture(Tree()), "a.avi*,b.avi*");

  // The last file vanished: the selection ends cleared, the path display
  // keeps its text.
  chooser->fileAnswers = {std::vector<std::string>{a, gone}};
  wxTEST_DIALOG(Click(ID_ADD_MEDIA_FILES), ExpectMessage("Cannot find " + gone));
  EXPECT_EQ(TreePicture(Tree()), "a.avi*,b.avi*,a.avi*");
  EXPECT_FALSE(Tree().SelectedItem().IsOk());
  EXPECT_EQ(RealPath(), a);
}

}  // namespace
