// The order of labels: each language's alphabet whatever the case, the ties,
// names that are not UTF-8, and the locale taken from the environment.
#include "layout/LabelOrder.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Alphabets in their order, in lower case; letters that differ only by their
// accent stand together, blanks between the places.
const std::pair<const char*, const char*> ALPHABETS[] = {
    {"", "aàä b cç d eéê f g h i j k l m nñ oö p q r s t uü v w x y z"},
    {"de_DE", "aä b c d e f g h i j k l m n oö p q r s t uü v w x y z"},
    {"sv_SE", "a b c d e f g h i j k l m n o p q r s t u v w x y z å ä ö"},
    {"el_GR", "αά β γ δ εέ ζ ηή θ ιί κ λ μ ν ξ οό π ρ σς τ υύ φ χ ψ ωώ"},
    {"ru_RU", "а б в г д её ж з и й к л м н о п р с т у ф х ц ч ш щ ъ ы ь э ю я"},
};

}  // namespace

TEST(LabelOrder, WordsSortByTheirLettersPlacesInTheAlphabetWhateverTheirCase) {
  std::mt19937 random(7);
  for (const auto& [locale, alphabet] : ALPHABETS) {
    SCOPED_TRACE(locale);
    std::vector<std::pair<std::string, int>> letters;  // each form with its place
    int place = 0;
    for (int32_t at = 0, size = static_cast<int32_t>(std::strlen(alphabet)); at < size;) {
      UChar32 c;
      U8_NEXT(reinterpret_cast<const uint8_t*>(alphabet), at, size, c);
      for (const UChar32 form : {c, u_toupper(c)}) {
        uint8_t bytes[4];
        int32_t length = 0;
        U8_APPEND_UNSAFE(bytes, length, form);
        if (c != ' ') letters.emplace_back(std::string(bytes, bytes + length), place);
      }
      place += c == ' ';
    }
    const LabelOrder order(locale);
    struct Word {
      std::string text, key;
      std::vector<int> places;
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
  const std::vector<std::string> sorted = {  // each before every later one
      "a", "A", "á", "Á", "ab", "cafe", "Cafe", "café", "caf\xe9", "cafés", "été", "ÉTÉ",
      "e\u0301tés", "étés",  // an accent of its own or not: the bytes decide
      "od", "œuvre", "Œuvre", "of", "strasse", "straße", "strasses"};
  const LabelOrder order("");
  for (std::size_t i = 0; i + 1 < sorted.size(); ++i)
    for (std::size_t j = i + 1; j < sorted.size(); ++j)
      EXPECT_LT(order.SortKey(sorted[i]), order.SortKey(sorted[j])) << sorted[i] << " / " << sorted[j];
}

TEST(LabelOrder, KeysOrderAsTheCollatorComparesTheShownTextThenTheBytes) {
  // Names in several scripts with decomposed accents, and bytes that are not
  // UTF-8 (a Latin-1 letter, a cut-short lead byte, an encoded surrogate).
  const std::string pieces[] = {"a", "Z", "1", "_", " ", "ä", "Å", "e\u0301", "Σ", "ς", "Ж", "ё",
                                "日", "本", "한", "カ", "\U00020000", "\U0001F3B5", "\xe9", "\xc3",
                                "\xed\xa0\x80", "\xff"};
  std::mt19937 random(11);
  for (const char* locale : {"", "de_DE", "sv_SE", "el_GR", "ru_RU", "ja_JP", "zh_CN", "ko_KR"}) {
    SCOPED_TRACE(locale);
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale, &status);
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    const LabelOrder order(locale);
    struct Name {
      std::string bytes, key;
      std::u16string shown;  // its UTF-8, else a character per byte
    };
    std::vector<Name> names(120);
    for (Name& name : names) {
      for (int n = random() % 5; n > 0; --n) name.bytes += pieces[random() % std::size(pieces)];
      name.key = order.SortKey(name.bytes);
      name.shown.resize(name.bytes.size());
      int32_t length = 0;
      status = U_ZERO_ERROR;
      u_strFromUTF8(name.shown.data(), static_cast<int32_t>(name.shown.size()), &length,
                    name.bytes.data(), static_cast<int32_t>(name.bytes.size()), &status);
      name.shown.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
      if (U_FAILURE(status))
        for (const unsigned char byte : name.bytes) name.shown.push_back(byte);
    }
    for (const Name& a : names) {
      for (const Name& b : names) {
        int expected = ucol_strcoll(collator, a.shown.data(), static_cast<int32_t>(a.shown.size()),
                                    b.shown.data(), static_cast<int32_t>(b.shown.size()));
        if (expected == UCOL_EQUAL) expected = a.bytes.compare(b.bytes);
        ASSERT_EQ(a.key < b.key, expected < 0)
            << testing::PrintToString(a.bytes) << " / " << testing::PrintToString(b.bytes);
      }
    }
    ucol_close(collator);
  }
}

TEST(LabelOrder, TheLocaleIsTheFirstOfLcAllLcCollateAndLangThatIsSet) {
  EXPECT_EQ(CollationLocale(nullptr, nullptr, "de_DE.UTF-8"), "de_DE");
  EXPECT_EQ(CollationLocale("", "sv_SE.UTF-8", "de_DE.UTF-8"), "sv_SE");
  EXPECT_EQ(CollationLocale("el_GR.ISO-8859-7", "sv_SE.UTF-8", "de_DE"), "el_GR");
  for (const char* posix : {"C", "C.UTF-8", "POSIX"})
    EXPECT_EQ(CollationLocale(posix, "sv_SE.UTF-8", "de_DE.UTF-8"), "") << posix;
  EXPECT_EQ(CollationLocale(nullptr, nullptr, nullptr), "");
}
