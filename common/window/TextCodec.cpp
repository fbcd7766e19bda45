#include "common/window/TextCodec.h"

#include "common/Utf8.h"

wxString ToDisplay(const std::string& bytes) {
  // wx's own decoder would take overlong forms and encoded surrogates, which
  // show as nothing or cut the text short: the name sorts and shows by the
  // same rule.
  if (IsValidUtf8(bytes)) return wxString::FromUTF8(bytes.data(), bytes.size());
  return wxString(bytes.data(), wxConvISO8859_1, bytes.size());
}

std::string FromDisplay(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

std::string BytesOfShown(const wxString& shown, const std::string& bytes) {
  const wxString full = ToDisplay(bytes);
  if (shown == full) return bytes;
  // Bytes that are not UTF-8 show one character per byte.
  const bool perByte = !IsValidUtf8(bytes);
  if (perByte && full.StartsWith(shown)) return bytes.substr(0, shown.length());
  return FromDisplay(shown);
}
