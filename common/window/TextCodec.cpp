#include "common/window/TextCodec.h"

wxString ToDisplay(const std::string& bytes) {
  wxString text = wxString::FromUTF8(bytes.data(), bytes.size());
  if (text.empty() && !bytes.empty()) {
    text = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
  }
  return text;
}

std::string FromDisplay(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

std::string BytesOfShown(const wxString& shown, const std::string& bytes) {
  const wxString full = ToDisplay(bytes);
  if (shown == full) return bytes;
  // Bytes that are not UTF-8 show one character per byte.
  const bool perByte = !bytes.empty() && wxString::FromUTF8(bytes.data(), bytes.size()).empty();
  if (perByte && full.StartsWith(shown)) return bytes.substr(0, shown.length());
  return FromDisplay(shown);
}
