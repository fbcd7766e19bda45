#include "layout/LabelOrder.h"

#include <vector>

namespace {

// The base letters (one or two) and the accent weight of a lower-case letter.
struct Folded {
  const char* base;  // nullptr: not a letter with a base in ASCII
  unsigned char accent;
};

// Accent weights in their order: none first, then acute, grave, circumflex,
// diaeresis, tilde, ring, ligature, cedilla, stroke, other.
enum : unsigned char { PLAIN = 1, ACUTE, GRAVE, CIRCUMFLEX, DIAERESIS, TILDE, RING, LIGATURE,
                       CEDILLA, STROKE, OTHER };

// U+00E0 to U+00FF.
constexpr Folded LATIN1_LOWER[32] = {
    {"a", GRAVE},  {"a", ACUTE},     {"a", CIRCUMFLEX}, {"a", TILDE},      {"a", DIAERESIS},
    {"a", RING},   {"ae", LIGATURE}, {"c", CEDILLA},    {"e", GRAVE},      {"e", ACUTE},
    {"e", CIRCUMFLEX}, {"e", DIAERESIS}, {"i", GRAVE},  {"i", ACUTE},      {"i", CIRCUMFLEX},
    {"i", DIAERESIS}, {"d", STROKE}, {"n", TILDE},      {"o", GRAVE},      {"o", ACUTE},
    {"o", CIRCUMFLEX}, {"o", TILDE}, {"o", DIAERESIS},  {nullptr, 0},      {"o", STROKE},
    {"u", GRAVE},  {"u", ACUTE},     {"u", CIRCUMFLEX}, {"u", DIAERESIS},  {"y", ACUTE},
    {"th", LIGATURE}, {"y", DIAERESIS},
};

// U+0100 to U+017F: the base letter of each ('2' for the ligatures Ĳ ĳ Œ œ).
constexpr char LATIN_EXTENDED_A[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii22jjkkklllllll"
    "lllnnnnnnnnnoooooo22rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";

// Code points of a label: UTF-8 when the whole label is valid UTF-8, else
// one per byte.
std::vector<char32_t> CodePoints(const std::string& label) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < label.size();) {
    const auto lead = static_cast<unsigned char>(label[i]);
    std::size_t extra = 0;
    char32_t cp = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, cp = lead & 0x07;
    }
    bool valid = lead < 0x80 || extra > 0;
    if (i + extra >= label.size()) valid = valid && extra == 0;  // cut short
    for (std::size_t k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(label[i + k]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    valid = valid && cp >= least[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!valid) {
      out.clear();
      for (const char c : label) out.push_back(static_cast<unsigned char>(c));
      return out;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

// Simple lower-case mapping of the scripts whose capitals lie at a fixed offset.
char32_t ToLower(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  if (cp >= 0x100 && cp <= 0x137 && cp != 0x130) return cp | 1;
  if (cp == 0x130) return 'i';
  if (cp >= 0x139 && cp <= 0x148 && (cp & 1)) return cp + 1;
  if (cp >= 0x14A && cp <= 0x177) return cp | 1;
  if (cp == 0x178) return 0xFF;
  if (cp >= 0x179 && cp <= 0x17E && (cp & 1)) return cp + 1;
  if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 0x20;
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string LabelSortKey(const std::string& label) {
  std::string letters;  // compared first
  std::string accents;  // then these, one weight per letter
  for (const char32_t original : CodePoints(label)) {
    const char32_t cp = ToLower(original);
    const char* base = nullptr;
    unsigned char accent = PLAIN;
    if (cp >= 0xE0 && cp <= 0xFF) {
      base = LATIN1_LOWER[cp - 0xE0].base;
      accent = LATIN1_LOWER[cp - 0xE0].accent;
    } else if (cp == 0xDF) {
      base = "ss";
      accent = LIGATURE;
    } else if (cp >= 0x100 && cp <= 0x17F && LATIN_EXTENDED_A[cp - 0x100] != ' ') {
      const char letter = LATIN_EXTENDED_A[cp - 0x100];
      base = letter != '2' ? nullptr : (cp < 0x140 ? "ij" : "oe");
      if (letter != '2') {
        letters += letter;
        accents += static_cast<char>(OTHER + ((cp - 0x100) >> 1));
        continue;
      }
      accent = LIGATURE;
    }
    if (base) {
      for (const char* b = base; *b; ++b) {
        letters += *b;
        accents += static_cast<char>(accent);
      }
    } else {
      AppendUtf8(letters, cp);
      accents += static_cast<char>(PLAIN);
    }
  }
  // A NUL between the parts: a name that is the start of another sorts first.
  return letters + '\0' + accents;
}
