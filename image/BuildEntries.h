// The tool's entries from the layout: the settings, then the files at the top
// level, then each folder's "-d" entry (its in-image path, backslashes between
// the names) followed by its files and then its sub-folders, depth first.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/DiskEntry.h"
#include "layout/LayoutModel.h"

enum class EntryBuildStatus {
  Built,    // the entries are whole
  Empty,    // the layout has no item: only the settings entries
  Missing,  // a file is not on disk (or is no regular file): missingPath names the first
};

struct EntryBuild {
  EntryBuildStatus status = EntryBuildStatus::Empty;
  CommandLine entries;
  std::int64_t totalSize = 0;  // the sizes of the files, as looked up
  std::vector<std::uint64_t> fileSizes;  // each "-f"/"-m" entry's, in entry order
  std::string missingPath;
};

using PathLookUp = std::function<std::optional<DiskEntry>(const std::string&)>;
// A file of the layout by its index and path.
using ItemLookUp = std::function<std::optional<DiskEntry>(int index, const std::string& path)>;

// Every file in the layout looked up on disk now (LookUpFileSizes, shared
// between two threads for a large layout): sizes[index] is the size of the
// file with that item index, NOT_A_FILE for a file that is not on disk (or
// is no regular file) and for an index that is no file in the layout.
std::vector<std::uint64_t> LookUpLayoutFiles(const LayoutModel& model);

// lookUp finds each file on disk (LookUpPath in the program; tests pass their own).
EntryBuild BuildEntries(const LayoutModel& model, const CommandSettings& settings,
                        const ItemLookUp& lookUp);
EntryBuild BuildEntries(const LayoutModel& model, const CommandSettings& settings,
                        const PathLookUp& lookUp = LookUpPath);
