// The UTF-8 decoder against RFC 3629's grammar, written out as its table.
#include "common/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>
#include <string>

namespace {

// Length of the well-formed sequence `s` starts with by RFC 3629's grammar,
// 0 for none.
std::size_t GrammarLength(const std::string& s) {
  struct Row {
    unsigned leadLow, leadHigh, secondLow, secondHigh;
    std::size_t length;
  };
  static constexpr Row ROWS[] = {
      {0x00, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
      {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
      {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
  };
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.empty()) return 0;
  for (const Row& row : ROWS) {
    if (byte(0) < row.leadLow || byte(0) > row.leadHigh) continue;
    if (row.length == 1) return 1;
    if (s.size() < row.length || byte(1) < row.secondLow || byte(1) > row.secondHigh) return 0;
    for (std::size_t k = 2; k < row.length; ++k)
      if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    return row.length;
  }
  return 0;
}

// Whether the grammar reads all of `s` as characters.
bool GrammarValid(const std::string& s) {
  std::size_t at = 0;
  for (std::size_t length; at < s.size() && (length = GrammarLength(s.substr(at))) != 0;) at += length;
  return at == s.size();
}

std::string Encode(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  auto tail = [&](int shift) { return static_cast<char>(0x80 | ((c >> shift) & 0x3F)); };
  if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), tail(0)};
  if (c < 0x10000) return {static_cast<char>(0xE0 | (c >> 12)), tail(6), tail(0)};
  return {static_cast<char>(0xF0 | (c >> 18)), tail(12), tail(6), tail(0)};
}

}  // namespace

TEST(Utf8, EverySequenceIsACharacterExactlyWhenTheGrammarSaysSo) {
  // All first two bytes; the bytes after them only matter by their class.
  const unsigned char laterBytes[] = {0x7F, 0x80, 0xBF, 0xC0};
  std::string s;
  std::vector<std::string> wrong;  // the sequences read otherwise than the grammar reads them
  auto check = [&] {
    const std::optional<Utf8Character> decoded = DecodeUtf8(s);
    if ((decoded ? decoded->length : 0) != GrammarLength(s) || IsValidUtf8(s) != GrammarValid(s))
      wrong.push_back(s);
  };
  for (unsigned first = 0; first < 256; ++first) {
    s.assign(1, static_cast<char>(first));
    check();
    for (unsigned second = 0; second < 256; ++second) {
      s.resize(1);
      s += static_cast<char>(second);
      check();
      for (const unsigned char third : laterBytes) {
        s.resize(2);
        s += static_cast<char>(third);
        check();
        // A fourth byte only matters after a lead of four.
        for (const unsigned char fourth : laterBytes) {
          if (first < 0xF0 && fourth != 0x80) continue;
          s.resize(3);
          s += static_cast<char>(fourth);
          check();
        }
      }
    }
  }
  EXPECT_EQ(wrong.size(), 0u) << testing::PrintToString(wrong.empty() ? "" : wrong.front());
  // Scalar values come back from their encoding: all below U+10000, then a
  // sample of the rest with the last.
  for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : c < 0x10FFFF - 13 ? 13 : 1) {
    if (c == 0xD800) c = 0xE000;
    s = Encode(c);
    const std::optional<Utf8Character> decoded = DecodeUtf8(s);
    ASSERT_TRUE(decoded && decoded->codePoint == c && decoded->length == s.size())
        << static_cast<std::uint32_t>(c);
  }
}

TEST(Utf8, ATextIsValidWhenTheGrammarReadsItToItsEnd) {
  const std::string parts[] = {"a", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x8E\xB5", "\xE9",
                               "\xED\xA0\x80", "\xC3", "\x80", "\xF4\x90\x80\x80"};
  std::mt19937 random(19);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int n = random() % 6; n > 0; --n) text += parts[random() % std::size(parts)];
    ASSERT_EQ(IsValidUtf8(text), GrammarValid(text)) << testing::PrintToString(text);
  }
}
