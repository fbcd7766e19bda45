// The UTF-8 decoder against ICU's, which reads RFC 3629 strictly.
#include "common/Utf8.h"

#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <string>
#include <vector>

TEST(Utf8, EverySequenceReadsAsIcuReadsIt) {
  // All first two bytes, then later bytes of each class: a fourth one only
  // after a lead byte of four.
  const unsigned char later[] = {0x7F, 0x80, 0xBF, 0xC0};
  std::vector<std::string> wrong;
  auto check = [&](const std::string& s) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto size = static_cast<int32_t>(s.size());
    int32_t length = 0;
    UChar32 c = 0;
    U8_NEXT(bytes, length, size, c);
    const std::optional<Utf8Character> decoded = DecodeUtf8(s);
    const bool same = c < 0 ? !decoded
                            : decoded && decoded->codePoint == static_cast<char32_t>(c) &&
                                  decoded->length == static_cast<std::size_t>(length);
    bool valid = c >= 0;  // then the characters after the first
    for (int32_t at = length; valid && at < size;) {
      U8_NEXT(bytes, at, size, c);
      valid = c >= 0;
    }
    if (!same || IsValidUtf8(s) != valid) wrong.push_back(s);
  };
  for (unsigned first = 0; first < 256; ++first) {
    check(std::string(1, static_cast<char>(first)));
    for (unsigned second = 0; second < 256; ++second) {
      const std::string two = {static_cast<char>(first), static_cast<char>(second)};
      check(two);
      for (const unsigned char third : later) {
        check(two + static_cast<char>(third));
        for (const unsigned char fourth : later)
          if (first >= 0xF0) check(two + static_cast<char>(third) + static_cast<char>(fourth));
      }
    }
  }
  EXPECT_EQ(wrong.size(), 0u) << testing::PrintToString(wrong.empty() ? "" : wrong.front());
}
