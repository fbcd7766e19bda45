#include "image/ConsoleTail.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

// Outputs of short lines, lines longer than the search and unended lines, each
// against a random bound: what is kept fits, and begins just after the first
// line end soon after the cut, or at the cut when none comes.
TEST(ConsoleTail, KeepsTheLastCharactersFromTheFirstLineStartNearTheCut) {
  std::mt19937 random(17);
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    for (int lines = static_cast<int>(random() % 6); lines > 0; --lines) {
      text.append(random() % 3 ? random() % 40 : random() % (3 * LINE_SEARCH), L'x');
      if (random() % 4) text += L'\n';
    }
    const std::size_t room = random() % (text.size() + 2);
    const std::size_t from = KeptFrom(text, room);
    SCOPED_TRACE("length " + std::to_string(text.size()) + ", room " + std::to_string(room));
    if (text.size() <= room) {
      EXPECT_EQ(from, 0u);
      continue;
    }
    const std::size_t cut = text.size() - room;
    ASSERT_GE(from, cut);
    if (from == cut) {
      EXPECT_EQ(text.substr(cut, LINE_SEARCH).find(L'\n'), std::wstring::npos) << "a line start was near";
    } else {
      EXPECT_LE(from - cut, LINE_SEARCH);
      EXPECT_EQ(text.find(L'\n', cut), from - 1) << "not just after the first line end";
    }
  }
}
