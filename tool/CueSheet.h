// The cue sheet beside the image: one FILE line naming the .bin by its bare
// name, track 1 the data track, then one MODE2/2352 track per Form 2 file with
// its pre-gap as INDEX 00. Times count sectors from the start of the file.
#pragma once

#include <string>

#include "tool/ImageLayout.h"
#include "tool/ToolError.h"

std::string CueSheetText(const std::string& binFileName, const ImagePlan& plan);

// Writes the text to `path` whole: a temporary file of a unique name beside
// it, flushed to the disk, then renamed over `path`.
Status WriteCueSheet(const std::string& path, const std::string& text);
