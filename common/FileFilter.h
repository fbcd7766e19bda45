// The file-dialog filter texts and their conversion to wx's wildcard form.
#pragma once

#include <string>
#include <vector>

#include "common/Translate.h"

// Only the descriptions go into the catalog; the file dialog shows them
// translated, and the patterns as they are.
inline constexpr const char* STRUCTURE_FILTER = TEXT_("kbv structure") "|*.kbv||";
inline constexpr const char* CHOOSER_FILTER = TEXT_("Write a name WITHOUT EXTENSION") "|*.*||";
inline constexpr const char* MEDIA_FILTER =
    TEXT_("Video (ogm; avi; mpg; mpeg; rm; rmvb)") "|*.ogm;*.avi;*.mpg;*.mpeg;*.rm;*.rmvb|"
    TEXT_("Audio (ogg; mp3; wav; ac3)") "|*.ogg;*.mp3;*.wav;*.ac3;|" TEXT_("All Files (*.*)") "|*.*||";

struct FilterEntry {
  std::string description;
  std::string patterns;  // as written, e.g. "*.ogg;*.mp3;"
};

// Splits a "desc|pattern|desc|pattern||" filter into its entries.
std::vector<FilterEntry> ParseFilter(const std::string& filter);

// The wildcard string wxFileDialog takes: "desc|pat;pat|desc|pat", with each
// description in the user's language (Translated), empty
// patterns (the trailing ';') dropped, the letters of each pattern matched in
// either case and "*.*" as "*" (every file). Empty for an empty filter.
std::string ToWxWildcard(const std::string& filter);

// A save dialog's default extension: appended with a full stop when the chosen
// name has no extension of its own. An empty extension leaves the path as is.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
