#include "common/window/Translation.h"

#include <wx/translation.h>

#include "common/FileFilter.h"
#include "common/Translate.h"

namespace {

// Read-only look-ups, safe on the planning thread: wxGetTranslation keeps
// copies of untranslated texts, GetTranslatedString keeps nothing.
std::optional<std::string> LookUp(const char* text) {
  const wxTranslations* translations = wxTranslations::Get();
  if (!translations) return std::nullopt;
  const wxString* found = translations->GetTranslatedString(wxString::FromUTF8(text));
  if (!found) return std::nullopt;
  return found->utf8_string();
}

std::optional<std::string> LookUpPlural(const char* one, const char* many, unsigned long count) {
  (void)many;
  const wxTranslations* translations = wxTranslations::Get();
  if (!translations) return std::nullopt;
  const wxString* found =
      translations->GetTranslatedString(wxString::FromUTF8(one), static_cast<unsigned>(count));
  if (!found) return std::nullopt;
  return found->utf8_string();
}

}  // namespace

wxString Tr(const char* text) { return wxGetTranslation(wxString::FromUTF8(text)); }

wxString TrPlural(const char* const (&forms)[2], unsigned long count) {
  return wxGetTranslation(wxString::FromUTF8(forms[0]), wxString::FromUTF8(forms[1]),
                          static_cast<unsigned>(count));
}

wxString TrWildcard(const char* filter) {
  std::vector<FilterEntry> entries = ParseFilter(filter);
  for (FilterEntry& entry : entries) entry.description = Translated(entry.description.c_str());
  std::string translated;
  for (const FilterEntry& entry : entries) translated += entry.description + '|' + entry.patterns + '|';
  return wxString::FromUTF8(ToWxWildcard(translated + '|'));
}

void InstallTranslators() { SetTranslators(LookUp, LookUpPlural); }
