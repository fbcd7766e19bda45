// The texts the user reads, in the user's language. The window installs its
// catalog's look-ups here (SetTranslators); until then, and always in the
// tool, every text stays as written, so the plain units compose their texts
// the same way with or without a window.
#pragma once

#include <optional>
#include <string>

// Marks a text for the catalog without looking it up: constants marked so are
// translated where they are shown. The build extracts TEXT_ like _. (wx's own
// N_ puts its text in parentheses, which breaks joining it to the next literal.)
#define TEXT_(text) text
// The same for a pair of texts about a count, the text for one and for many,
// as the two elements of an array.
#define PLURAL_TEXT_(one, many) one, many

// Each returns the translation of its English text (UTF-8), or nothing when
// the catalog has none. A look-up may run on any thread.
using TextLookUp = std::optional<std::string> (*)(const char* text);
using PluralLookUp = std::optional<std::string> (*)(const char* one, const char* many, unsigned long count);
void SetTranslators(TextLookUp text, PluralLookUp plural);

// The text in the user's language.
std::string Translated(const char* text);

// printf with the translated format. The English format takes its arguments
// in order; a translation may reorder them with %1$s, %2$s...
std::string TranslatedFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same for a text about a count: `one` for 1, `many` otherwise in
// English; a translation has as many forms as its language needs.
std::string TranslatedPlural(unsigned long count, const char* one, const char* many, ...)
    __attribute__((format(printf, 3, 4)));
