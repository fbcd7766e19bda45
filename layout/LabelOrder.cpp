#include "layout/LabelOrder.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "common/Utf8.h"

namespace {

// The label as the UTF-16 text ICU collates: its characters when it is valid
// UTF-8, else one character per byte.
std::u16string CollatedText(const std::string& label) {
  std::u16string text;
  text.reserve(label.size());
  if (!IsValidUtf8(label)) {
    for (const char byte : label) text.push_back(static_cast<unsigned char>(byte));
    return text;
  }
  for (std::string_view rest = label; !rest.empty();) {
    const Utf8Character c = *DecodeUtf8(rest);
    rest.remove_prefix(c.length);
    if (c.codePoint < 0x10000) {
      text.push_back(static_cast<char16_t>(c.codePoint));
    } else {
      text.push_back(static_cast<char16_t>(0xD800 + ((c.codePoint - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((c.codePoint - 0x10000) & 0x3FF)));
    }
  }
  return text;
}

bool IsPosixDefault(std::string_view name) {
  const std::string_view language = name.substr(0, name.find_first_of(".@"));
  return language == "C" || language == "POSIX";
}

}  // namespace

void LabelOrder::CloseCollator::operator()(UCollator* collator) const {
  ucol_close(collator);
}

LabelOrder::LabelOrder(const std::string& locale) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(locale.c_str(), &status);
  if (U_FAILURE(status)) return;
  m_collator.reset(collator);
  // Names written in decomposed form (an accent as a character of its own)
  // sort as the composed ones do.
  ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
  if (U_FAILURE(status)) m_collator.reset();
}

LabelOrder::~LabelOrder() = default;

std::string LabelOrder::SortKey(const std::string& label) const {
  // The collator's key with its closing NUL, which is its only NUL: where one
  // key is the start of another, it sorts first. Then the bytes themselves.
  std::string key;
  if (m_collator) {
    const std::u16string text = CollatedText(label);
    const auto length = static_cast<int32_t>(text.size());
    std::vector<uint8_t> buffer(3 * text.size() + 16);
    for (int attempt = 0; attempt < 2; ++attempt) {
      const int32_t needed = ucol_getSortKey(m_collator.get(), text.data(), length, buffer.data(),
                                             static_cast<int32_t>(buffer.size()));
      if (needed <= static_cast<int32_t>(buffer.size())) {
        // 0 means the collator failed on this label: it sorts by its bytes
        // before every other label.
        key.assign(buffer.begin(), buffer.begin() + needed);
        break;
      }
      buffer.resize(static_cast<std::size_t>(needed));
    }
  }
  if (key.empty()) key.push_back('\0');
  key += label;
  return key;
}

std::string CollationLocale(const char* lcAll, const char* lcCollate, const char* lang) {
  const char* chosen = nullptr;
  for (const char* value : {lcAll, lcCollate, lang}) {
    if (value && *value) {
      chosen = value;
      break;
    }
  }
  if (!chosen || IsPosixDefault(chosen)) return {};
  // ICU takes POSIX names as they come and drops their codeset.
  std::vector<char> buffer(std::string_view(chosen).size() + 64);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length =
      uloc_canonicalize(chosen, buffer.data(), static_cast<int32_t>(buffer.size()), &status);
  if (U_FAILURE(status) || length >= static_cast<int32_t>(buffer.size())) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string LabelSortKey(const std::string& label) {
  static const LabelOrder order(
      CollationLocale(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"), std::getenv("LANG")));
  return order.SortKey(label);
}
