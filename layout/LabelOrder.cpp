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
  // The collator's key with its closing NUL, its only NUL byte: where one key
  // is the start of another, it sorts first. Then the bytes themselves.
  std::string key;
  if (m_collator) {
    const std::u16string text = CollatedText(label);
    auto fill = [&] {
      return ucol_getSortKey(m_collator.get(), text.data(), static_cast<int32_t>(text.size()),
                             reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    };
    key.resize(3 * text.size() + 16);
    auto needed = static_cast<std::size_t>(fill());
    if (needed > key.size()) {
      key.resize(needed);
      needed = static_cast<std::size_t>(fill());
    }
    // 0 when the collator fails on the label: it sorts by its bytes, first.
    key.resize(needed <= key.size() ? needed : 0);
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
