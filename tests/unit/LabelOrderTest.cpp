// The order of labels: each language's alphabet whatever the case, the ties,
// names that are not UTF-8, and the locale taken from the environment.
#include "layout/LabelOrder.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <random>
#include <string>
#include <vector>

#include "common/Utf8.h"

namespace {

std::vector<char32_t> Characters(const std::string& text) {
  std::vector<char32_t> out;
  for (std::string_view rest = text; !rest.empty();) {
    const Utf8Character c = DecodeUtf8(rest).value();
    out.push_back(c.codePoint);
    rest.remove_prefix(c.length);
  }
  return out;
}

std::string Utf8Of(char32_t c) {
  UChar units[2];
  int32_t count = 0;
  U16_APPEND_UNSAFE(units, count, c);
  char bytes[8];
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(bytes, sizeof bytes, &length, units, count, &status);
  return std::string(bytes, static_cast<std::size_t>(length));
}

// A language's alphabet in its order: groups of letters that differ only by
// accent, separated by blanks, given in lower case.
struct Alphabet {
  const char* locale;
  const char* letters;
};

const Alphabet ALPHABETS[] = {
    {"", "a\u00e0\u00e1\u00e2\u00e4 b c\u00e7 d e\u00e8\u00e9\u00ea\u00eb f g h i\u00ee\u00ef j k "
         "l m n\u00f1 o\u00f4\u00f6 p q r s t u\u00f9\u00fb\u00fc v w x y z"},
    {"de_DE", "a\u00e4 b c d e f g h i j k l m n o\u00f6 p q r s t u\u00fc v w x y z"},
    {"sv_SE", "a b c d e f g h i j k l m n o p q r s t u v w x y z \u00e5 \u00e4 \u00f6"},
    {"el_GR", "\u03b1\u03ac \u03b2 \u03b3 \u03b4 \u03b5\u03ad \u03b6 \u03b7\u03ae \u03b8 "
              "\u03b9\u03af\u03ca \u03ba \u03bb \u03bc \u03bd \u03be \u03bf\u03cc \u03c0 \u03c1 "
              "\u03c3\u03c2 \u03c4 \u03c5\u03cd\u03cb \u03c6 \u03c7 \u03c8 \u03c9\u03ce"},
    {"ru_RU", "\u0430 \u0431 \u0432 \u0433 \u0434 \u0435\u0451 \u0436 \u0437 \u0438 \u0439 \u043a "
              "\u043b \u043c \u043d \u043e \u043f \u0440 \u0441 \u0442 \u0443 \u0444 \u0445 \u0446 "
              "\u0447 \u0448 \u0449 \u044a \u044b \u044c \u044d \u044e \u044f"},
};

}  // namespace

TEST(LabelOrder, WordsSortByTheirLettersPlacesInTheAlphabetWhateverTheirCase) {
  std::mt19937 random(7);
  for (const Alphabet& alphabet : ALPHABETS) {
    SCOPED_TRACE(alphabet.locale);
    // Each letter with its place; upper-case forms share it.
    std::vector<std::pair<std::string, int>> letters;
    int place = 0;
    for (const char32_t c : Characters(alphabet.letters)) {
      if (c == ' ') {
        ++place;
        continue;
      }
      letters.emplace_back(Utf8Of(c), place);
      letters.emplace_back(Utf8Of(u_toupper(static_cast<UChar32>(c))), place);
    }
    const LabelOrder order(alphabet.locale);
    struct Word {
      std::string text;
      std::vector<int> places;
      std::string key;
    };
    std::vector<Word> words(300);
    for (Word& word : words) {
      for (int n = random() % 6; n > 0; --n) {
        const auto& [letter, at] = letters[random() % letters.size()];
        word.text += letter;
        word.places.push_back(at);
      }
      word.key = order.SortKey(word.text);
    }
    for (const Word& a : words) {
      for (const Word& b : words) {
        if (a.places != b.places) {
          ASSERT_EQ(a.key < b.key, a.places < b.places) << a.text << " / " << b.text;
        }
      }
    }
  }
}

TEST(LabelOrder, TiesGoToTheLetterWithoutAccentThenToLowerCaseThenToTheBytes) {
  // Each name sorts before every later one.
  const std::vector<std::string> sorted = {
      "a", "A", "\u00e1", "\u00c1", "ab", "cafe", "Cafe", "caf\u00e9", "caf\xe9", "caf\u00e9s",
      "\u00e9t\u00e9", "\u00c9T\u00c9",
      "e\u0301t\u00e9s", "\u00e9t\u00e9s",  // an accent of its own or not: the bytes decide
      "od", "\u0153uvre", "\u0152uvre", "of", "strasse", "stra\u00dfe", "strasses"};
  const LabelOrder order("");
  for (std::size_t i = 0; i < sorted.size(); ++i)
    for (std::size_t j = i + 1; j < sorted.size(); ++j)
      EXPECT_LT(order.SortKey(sorted[i]), order.SortKey(sorted[j])) << sorted[i] << " / " << sorted[j];
}

TEST(LabelOrder, KeysOrderAsTheCollatorComparesTheShownTextThenTheBytes) {
  // Pieces of names in several scripts, decomposed accents, and bytes that are
  // not UTF-8 (a Latin-1 letter, a cut-short lead byte, an encoded surrogate).
  const std::string pieces[] = {
      "a", "Z", "1", "_", " ", ".", "\u00e4", "\u00c5", "\u00f6", "e\u0301", "\u03a3", "\u03c2",
      "\u0416", "\u0451", "\u65e5", "\u672c", "\ud55c", "\u30ab", "\U00020000", "\U0001F3B5",
      "\xe9", "\xc3", "\xed\xa0\x80", "\xff"};
  std::mt19937 random(11);
  for (const char* locale : {"", "de_DE", "sv_SE", "el_GR", "ru_RU", "ja_JP", "zh_CN", "ko_KR"}) {
    SCOPED_TRACE(locale);
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale, &status);
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    // The text a name shows: its UTF-8, else a character per byte.
    auto shown = [](const std::string& name) {
      std::u16string text(name.size() + 1, u'\0');
      int32_t length = 0;
      UErrorCode error = U_ZERO_ERROR;
      u_strFromUTF8(text.data(), static_cast<int32_t>(text.size()), &length, name.data(),
                    static_cast<int32_t>(name.size()), &error);
      if (U_FAILURE(error)) {
        text.clear();
        for (const unsigned char byte : name) text.push_back(byte);
        return text;
      }
      text.resize(static_cast<std::size_t>(length));
      return text;
    };
    const LabelOrder order(locale);
    struct Name {
      std::string bytes, key;
      std::u16string text;
    };
    std::vector<Name> names(120);
    for (Name& name : names) {
      for (int n = random() % 5; n > 0; --n) name.bytes += pieces[random() % std::size(pieces)];
      name.key = order.SortKey(name.bytes);
      name.text = shown(name.bytes);
    }
    for (const Name& a : names) {
      for (const Name& b : names) {
        int expected = ucol_strcoll(collator, a.text.data(), static_cast<int32_t>(a.text.size()),
                                    b.text.data(), static_cast<int32_t>(b.text.size()));
        if (expected == UCOL_EQUAL) expected = a.bytes.compare(b.bytes);
        ASSERT_EQ(a.key < b.key, expected < 0)
            << testing::PrintToString(a.bytes) << " / " << testing::PrintToString(b.bytes);
      }
    }
    ucol_close(collator);
  }
}

TEST(LabelOrder, TheLocaleIsTheFirstOfLcAllLcCollateAndLangThatIsSet) {
  struct Case {
    const char *lcAll, *lcCollate, *lang, *expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", "de_DE"},
      {"", "sv_SE.UTF-8", "de_DE.UTF-8", "sv_SE"},
      {"el_GR.ISO-8859-7", "sv_SE.UTF-8", "de_DE.UTF-8", "el_GR"},
      {"C", "sv_SE.UTF-8", "de_DE.UTF-8", ""},
      {nullptr, "C.UTF-8", "de_DE.UTF-8", ""},
      {nullptr, nullptr, "POSIX", ""},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CollationLocale(c.lcAll, c.lcCollate, c.lang), c.expected)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcCollate ? c.lcCollate : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}
