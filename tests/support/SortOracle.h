// The order of a folder scanned from disk, computed as the rule is written,
// one child at a time over the listing, to check the layout's own order
// against: a file goes before the first child whose label compares greater
// (in the label order, whose own rules tests/unit/LabelOrderTest checks), a
// folder goes last; names beginning with a full stop are passed over.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "common/DiskEntry.h"
#include "layout/LabelOrder.h"

inline std::vector<std::string> PlaceByTheRule(const std::string& folder) {
  std::vector<std::string> children;
  ListFolder(folder, [&](const ListedEntry& entry) {
    if (entry.name.front() == '.') return true;
    auto place = children.end();
    if (entry.kind == DiskKind::File) {
      place = std::find_if(children.begin(), children.end(), [&](const std::string& child) {
        return LabelSortKey(entry.name) < LabelSortKey(child);
      });
    }
    children.insert(place, entry.name);
    return true;
  });
  return children;
}
