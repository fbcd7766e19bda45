// The order of a folder scanned from disk, computed as the rule is written,
// one child at a time over the listing, to check the layout's own order
// against: a file goes before the first child whose label compares greater
// (letter case aside), a folder goes last; names beginning with a full stop
// are passed over.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "common/DiskEntry.h"

inline bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

inline std::vector<std::string> PlaceByTheRule(const std::string& folder) {
  std::vector<std::string> children;
  ListFolder(folder, [&](const ListedEntry& entry) {
    if (entry.name.front() == '.') return true;
    auto place = children.end();
    if (entry.kind == DiskKind::File) {
      place = std::find_if(children.begin(), children.end(), [&](const std::string& child) {
        return LessIgnoringCase(entry.name, child);
      });
    }
    children.insert(place, entry.name);
    return true;
  });
  return children;
}
