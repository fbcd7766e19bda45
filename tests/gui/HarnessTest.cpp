// The harness itself: message boxes are answered by wxTEST_DIALOG before the
// safety net sees them, and a box no test expected fails instead of hanging.
#include <gtest/gtest-spi.h>

#include "GuiFixture.h"
#include "app/window/AboutDialog.h"
#include "common/window/MessageBox.h"

TEST(Harness, ExpectedMessageBoxesAreAnsweredWithTheirAnswer) {
  bool yes = false;
  wxTEST_DIALOG(yes = AskYesNo(wxT("Replace it?")), ExpectMessage("Replace it?", wxID_YES));
  EXPECT_TRUE(yes);
  wxTEST_DIALOG(yes = AskYesNo(wxT("Replace it?")), ExpectMessage("Replace it?", wxID_NO));
  EXPECT_FALSE(yes);
  wxTEST_DIALOG(ShowMessage(wxT("Image Created")), ExpectMessage("Image Created"));
  wxTEST_DIALOG(ShowCannotFind("/no/such \xc3\xa9"), ExpectMessage("Cannot find /no/such \xc3\xa9"));
}

namespace {

// The failures that code reports, caught instead of failing this test.
std::vector<std::string> FailuresOf(const std::function<void()>& code) {
  testing::TestPartResultArray results;
  {
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    code();
  }
  std::vector<std::string> messages;
  for (int i = 0; i < results.size(); ++i) messages.push_back(results.GetTestPartResult(i).message());
  return messages;
}

bool AnyContains(const std::vector<std::string>& messages, const std::string& part) {
  for (const std::string& message : messages) {
    if (message.find(part) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

TEST(Harness, AMessageBoxOtherThanExpectedFailsTheTest) {
  struct Case {
    const char* name;
    std::function<void()> code;
    const char* failure;
  };
  const Case cases[] = {
      {"wrong text", [] { wxTEST_DIALOG(ShowMessage(wxT("one")), ExpectMessage("another")); },
       "another"},
      {"OK box taken for a question",
       [] { wxTEST_DIALOG(ShowMessage(wxT("q")), ExpectMessage("q", wxID_YES)); }, "Yes and No"},
      {"question taken for an OK box",
       [] { wxTEST_DIALOG(AskYesNo(wxT("q")), ExpectMessage("q")); }, "only OK"},
      {"expected box never shown", [] { wxTEST_DIALOG((void)0, ExpectMessage("never")); },
       "was not shown"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(AnyContains(FailuresOf(c.code), c.failure)) << c.name;
  }
}

TEST(Harness, AnUnexpectedDialogFailsTheTestAndIsAnsweredCancel) {
  EXPECT_NONFATAL_FAILURE(ShowMessage(wxT("surprise")), "unexpected modal dialog");
  int result = 0;
  const auto failures = FailuresOf([&] {
    AboutDialog about(nullptr);
    result = about.ShowModal();
  });
  EXPECT_TRUE(AnyContains(failures, "unexpected modal dialog"));
  EXPECT_EQ(result, wxID_CANCEL);
}
