#include "tool/IsoNames.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/Utf8.h"

namespace {

constexpr std::size_t ASCII_NAME_LIMIT = 200;  // bytes, name + dot + extension
constexpr std::size_t LEVEL1_NAME = 8, LEVEL1_EXTENSION = 3, LEVEL1_FOLDER = 8;
constexpr std::size_t LEVEL2_NAME_AND_EXTENSION = 30, LEVEL2_FOLDER = 31;
constexpr std::size_t VOLUME_LIMIT = 32;

char ToDCharacter(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') return c;
  return '_';
}

char ToAsciiCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (c == '/' || c == '\\' || c == ';' || u < 0x20 || u == 0x7F) return '_';
  return c;
}

// Bytes of the UTF-8 character at `i`: 2 to 4 for a well-formed sequence, 1
// for a single-byte character and for any byte that starts no such sequence.
std::size_t CharacterLength(std::string_view s, std::size_t i) {
  const std::optional<Utf8Character> c = DecodeUtf8(s.substr(i));
  return c ? c->length : 1;
}

// Cuts `s` to at most `limit` bytes, never inside a UTF-8 character.
void CutToCharacters(std::string& s, std::size_t limit) {
  if (s.size() <= limit) return;
  std::size_t keep = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t length = CharacterLength(s, i);
    if (i + length > limit) break;
    i += length;
    keep = i;
  }
  s.resize(keep);
}

// d-characters work by character: a UTF-8 character of several bytes becomes
// one '_'. The ASCII mode keeps every byte that is allowed.
std::string MapCharacters(std::string_view raw, IsoLevel level) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    if (level == IsoLevel::Ascii) {
      out.push_back(ToAsciiCharacter(raw[i++]));
      continue;
    }
    const std::size_t length = CharacterLength(raw, i);
    out.push_back(length == 1 ? ToDCharacter(raw[i]) : '_');
    i += length;
  }
  return out;
}

// The extension starts after the last dot, unless that dot opens the name.
void SplitExtension(std::string_view raw, std::string_view& name, std::string_view& extension) {
  const std::size_t dot = raw.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    name = raw;
    extension = {};
  } else {
    name = raw.substr(0, dot);
    extension = raw.substr(dot + 1);
  }
}

// Cuts name and extension to the level's limits; the extension is kept whole
// where the level allows it.
void FitFileName(FileName& f, IsoLevel level) {
  if (level == IsoLevel::Level1) {
    f.name.resize(std::min(f.name.size(), LEVEL1_NAME));
    f.extension.resize(std::min(f.extension.size(), LEVEL1_EXTENSION));
    return;
  }
  const std::size_t total =
      level == IsoLevel::Level2 ? LEVEL2_NAME_AND_EXTENSION : ASCII_NAME_LIMIT - 1;  // minus the dot
  const std::size_t extension =
      std::min(f.extension.size(), std::max<std::size_t>(8, total - std::min(total, f.name.size())));
  CutToCharacters(f.extension, extension);
  CutToCharacters(f.name, total - f.extension.size());
}

std::size_t FolderLimit(IsoLevel level) {
  switch (level) {
    case IsoLevel::Level1: return LEVEL1_FOLDER;
    case IsoLevel::Level2: return LEVEL2_FOLDER;
    case IsoLevel::Ascii: break;
  }
  return ASCII_NAME_LIMIT;
}

// A name made only of dots would read as "." or ".." on most systems.
void AvoidDotNames(std::string& name) {
  if (!name.empty() && name.find_first_not_of('.') == std::string::npos)
    std::replace(name.begin(), name.end(), '.', '_');
}

// Keeps `limit` bytes in all (never a part of a character): the start of `base`, then the number.
std::string WithNumber(const std::string& base, std::size_t limit, unsigned n) {
  const std::string digits = std::to_string(n);
  std::string kept = base;
  CutToCharacters(kept, limit > digits.size() ? limit - digits.size() : 0);
  return kept + digits;
}

}  // namespace

FileName MapFileName(std::string_view raw, IsoLevel level, const std::string* newExtension) {
  std::string_view name, extension;
  SplitExtension(raw, name, extension);
  if (newExtension) {
    extension = *newExtension;
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  }
  FileName f{MapCharacters(name, level), MapCharacters(extension, level)};
  if (level == IsoLevel::Ascii) AvoidDotNames(f.name);
  FitFileName(f, level);
  if (f.name.empty() && f.extension.empty()) f.name.push_back('_');
  return f;
}

std::string MapFolderName(std::string_view raw, IsoLevel level) {
  std::string name = MapCharacters(raw, level);
  AvoidDotNames(name);
  CutToCharacters(name, FolderLimit(level));
  if (name.empty()) name.push_back('_');
  return name;
}

FileName NumberedFileName(const FileName& f, IsoLevel level, unsigned n) {
  std::size_t limit = LEVEL1_NAME;
  if (level == IsoLevel::Level2) limit = LEVEL2_NAME_AND_EXTENSION - f.extension.size();
  if (level == IsoLevel::Ascii) limit = ASCII_NAME_LIMIT - 1 - f.extension.size();
  return {WithNumber(f.name, limit, n), f.extension};
}

std::string NumberedFolderName(const std::string& name, IsoLevel level, unsigned n) {
  return WithNumber(name, FolderLimit(level), n);
}

std::string VisibleName(const std::string& identifier, bool isFolder) {
  if (isFolder || identifier.empty() || identifier.back() != '.') return identifier;
  return identifier.substr(0, identifier.size() - 1);
}

std::string ClashKey(const std::string& identifier, bool isFolder) {
  std::string key = VisibleName(identifier, isFolder);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

int ComparePadded(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  // (An empty view may have no data to point at, which memcmp must not be given.)
  if (const int c = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common); c != 0) return c < 0 ? -1 : 1;
  // The longer one against the spaces that pad the shorter.
  const std::string_view rest = a.size() > common ? a.substr(common) : b.substr(common);
  const int sign = a.size() > common ? 1 : -1;
  for (const char ch : rest) {
    const auto c = static_cast<unsigned char>(ch);
    if (c != ' ') return c > ' ' ? sign : -sign;
  }
  return 0;
}

bool RecordLess(const std::string& a, bool folderA, const std::string& b, bool folderB) {
  // A file identifier's extension follows its last dot; a folder has none.
  auto split = [](const std::string& id, bool folder, std::string_view& name, std::string_view& ext) {
    const std::size_t dot = folder ? std::string::npos : id.rfind('.');
    name = std::string_view(id).substr(0, dot);
    ext = dot == std::string::npos ? std::string_view{} : std::string_view(id).substr(dot + 1);
  };
  std::string_view nameA, extA, nameB, extB;
  split(a, folderA, nameA, extA);
  split(b, folderB, nameB, extB);
  if (int c = ComparePadded(nameA, nameB); c != 0) return c < 0;
  return ComparePadded(extA, extB) < 0;
}

std::string MapVolumeName(std::string_view raw) {
  std::string out = MapCharacters(raw, IsoLevel::Level1);
  out.resize(std::min(out.size(), VOLUME_LIMIT));
  return out;
}
