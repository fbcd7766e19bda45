// Add Files and Add Media Files through their buttons, with the file dialog
// answered by the scripted chooser.
#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include "EditingSupport.h"
#include "GuiFixture.h"
#include "MessageExpect.h"
#include "common/FileFilter.h"

namespace {

using AddFilesTest = TreeFrameTest;

TEST_F(AddFilesTest, EachCommandAsksWithItsTitleFilterAndFlags) {
  chooser->fileAnswers = {std::nullopt, std::nullopt};
  ASSERT_TRUE(Click(ID_ADD_FILES));
  ASSERT_TRUE(Click(ID_ADD_MEDIA_FILES));
  ASSERT_EQ(chooser->requests.size(), 2u);
  const struct {
    const char* title;
    std::string filter;
  } expected[] = {{"Open Files (Form1)", ""}, {"Open Video/Audio Files (Form2)", MEDIA_FILTER}};
  for (int i = 0; i < 2; ++i) {
    const FileDialogRequest& r = chooser->requests[i];
    EXPECT_TRUE(r.openMode);
    EXPECT_TRUE(r.multiple);
    EXPECT_TRUE(r.mustExist);
    EXPECT_EQ(r.defaultExtension, "");
    EXPECT_EQ(r.title, expected[i].title);
    EXPECT_EQ(r.filter, expected[i].filter);
  }
  // Cancel adds nothing, but the hint is gone for good.
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_FALSE(Tree().ShowHint());
}

TEST_F(AddFilesTest, MediaFilesGoToTheTopLevelInOrderBoldAndTheLastSelected) {
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
