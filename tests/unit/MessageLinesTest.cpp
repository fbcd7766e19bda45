// Message lines shortened in their middle.
#include "common/MessageLines.h"

#include <gtest/gtest.h>

TEST(MessageLines, LongLinesAreShortenedInTheMiddleShortOnesKept) {
  constexpr std::size_t MAX = 160;
  for (const std::size_t length : {0u, 1u, 159u, 160u, 161u, 4400u}) {
    const std::wstring line = std::wstring(length / 2, L'a') + std::wstring(length - length / 2, L'b');
    const std::wstring text = LinesShortened(L"Cannot find\n" + line + L"\n", MAX);
    ASSERT_TRUE(text.starts_with(L"Cannot find\n") && text.ends_with(L"\n")) << length;
    const std::wstring shown = text.substr(12, text.size() - 13);
    if (length <= MAX) {
      EXPECT_EQ(shown, line) << length;
    } else {
      EXPECT_EQ(shown, line.substr(0, 79) + L"..." + line.substr(length - 78)) << length;
    }
  }
  EXPECT_EQ(MiddleShortened(L"abcdef", 2), L"ab") << "no room for the dots";
}
