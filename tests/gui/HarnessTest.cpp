// The harness itself: message boxes are answered by wxTEST_DIALOG before the
// safety net sees them, and a box no test expected fails instead of hanging.
#include <gtest/gtest-spi.h>

#include "GuiFixture.h"
#include "app/window/AboutDialog.h"
#include "common/window/MessageBox.h"

namespace {

// The failures that code reports, caught instead of failing this test, one a line.
std::string FailuresOf(const std::function<void()>& code) {
  testing::TestPartResultArray results;
  {
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    code();
  }
  std::string messages;
  for (int i = 0; i < results.size(); ++i) messages += results.GetTestPartResult(i).message() + std::string("\n");
  return messages;
}

}  // namespace

TEST(Harness, ABoxIsAnsweredAsExpectedAndAnyOtherBoxFailsTheTest) {
  bool yes = false;
  wxTEST_DIALOG(yes = AskYesNo(wxT("Replace it?")), ExpectMessage("Replace it?", wxID_YES));
  EXPECT_TRUE(yes);
  wxTEST_DIALOG(yes = AskYesNo(wxT("Replace it?")), ExpectMessage("Replace it?", wxID_NO));
  EXPECT_FALSE(yes);
  wxTEST_DIALOG(ShowCannotFind("/no/such \xc3\xa9"), ExpectMessage("Cannot find /no/such \xc3\xa9"));

  const std::pair<std::function<void()>, const char*> wrong[] = {
      {[] { wxTEST_DIALOG(ShowMessage(wxT("one")), ExpectMessage("another")); }, "another"},
      {[] { wxTEST_DIALOG(ShowMessage(wxT("q")), ExpectMessage("q", wxID_YES)); }, "Yes and No"},
      {[] { wxTEST_DIALOG(AskYesNo(wxT("q")), ExpectMessage("q")); }, "only OK"},
      {[] { wxTEST_DIALOG((void)0, ExpectMessage("never")); }, "was not shown"},
      {[] { ShowMessage(wxT("surprise")); }, "unexpected modal dialog"},
  };
  for (const auto& [code, failure] : wrong) EXPECT_NE(FailuresOf(code).find(failure), std::string::npos) << failure;
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = AboutDialog(nullptr).ShowModal(), "unexpected modal dialog");
  EXPECT_EQ(result, wxID_CANCEL) << "an unexpected dialog is answered Cancel";
}
