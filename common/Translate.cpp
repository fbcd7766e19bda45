#include "common/Translate.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

std::atomic<TextLookUp> g_text{nullptr};
std::atomic<PluralLookUp> g_plural{nullptr};

std::string VFormat(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  std::string out;
  if (length > 0) {
    out.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(out.data(), out.size(), format, again);
    out.resize(static_cast<std::size_t>(length));
  }
  va_end(again);
  return out;
}

}  // namespace

void SetTranslators(TextLookUp text, PluralLookUp plural) {
  g_text = text;
  g_plural = plural;
}

std::string Translated(const char* text) {
  const TextLookUp lookUp = g_text;
  if (lookUp) {
    if (std::optional<std::string> found = lookUp(text)) return *std::move(found);
  }
  return text;
}

std::string TranslatedFormat(const char* format, ...) {
  const std::string translated = Translated(format);
  va_list args;
  va_start(args, format);
  std::string out = VFormat(translated.c_str(), args);
  va_end(args);
  return out;
}

std::string TranslatedPlural(unsigned long count, const char* one, const char* many, ...) {
  std::optional<std::string> found;
  if (const PluralLookUp lookUp = g_plural) found = lookUp(one, many, count);
  const std::string format = found ? *found : std::string(count == 1 ? one : many);
  va_list args;
  va_start(args, many);
  std::string out = VFormat(format.c_str(), args);
  va_end(args);
  return out;
}
