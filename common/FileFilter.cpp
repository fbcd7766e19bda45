#include "common/FileFilter.h"

namespace {

std::vector<std::string> SplitAtBars(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

// The file dialog matches patterns letter for letter, where the program's
// patterns ignore case: each letter becomes a set of both cases ("*.avi" ->
// "*.[aA][vV][iI]"). "*.*" stands for every file, also one without a dot: "*".
std::string CaseFreePattern(const std::string& pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (const char c : pattern) {
    const bool lower = c >= 'a' && c <= 'z', upper = c >= 'A' && c <= 'Z';
    if (!lower && !upper) {
      out += c;
      continue;
    }
    const char other = static_cast<char>(lower ? c - 'a' + 'A' : c - 'A' + 'a');
    out += '[';
    out += c;
    out += other;
    out += ']';
  }
  return out;
}

// "*.ogg;*.mp3;" -> "*.[oO][gG][gG];*.[mM][pP]3": empty patterns are dropped.
std::string CleanPatterns(const std::string& patterns) {
  std::string out;
  std::string current;
  auto flush = [&] {
    if (current.empty()) return;
    if (!out.empty()) out += ';';
    out += CaseFreePattern(current);
    current.clear();
  };
  for (char c : patterns) {
    if (c == ';') {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return out;
}

}  // namespace

std::vector<FilterEntry> ParseFilter(const std::string& filter) {
  std::vector<FilterEntry> entries;
  const std::vector<std::string> parts = SplitAtBars(filter);
  // Pairs of description and pattern; an empty description ends the list.
  for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
    entries.push_back({parts[i], parts[i + 1]});
  }
  return entries;
}

std::string ToWxWildcard(const std::string& filter) {
  std::string out;
  for (const FilterEntry& entry : ParseFilter(filter)) {
    if (!out.empty()) out += '|';
    out += entry.description + '|' + CleanPatterns(entry.patterns);
  }
  return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty()) return path;
  const std::size_t slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (nameStart >= path.size()) return path;
  if (path.find('.', nameStart) != std::string::npos) return path;
  return path + '.' + extension;
}
