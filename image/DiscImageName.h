// Names of disc images the program opens (Open Disc Image, and an image
// given on the command line) and the folder offered to extract one into.
#pragma once

#include <string>

// A name ending in .cue, .iso or .bin, in any case.
bool IsDiscImageName(const std::string& path);

// Beside the image, named after it without its extension
// ("/discs/demo.cue" -> "/discs/demo"); "NAME-files" for a name without one.
std::string ProposedExtractFolder(const std::string& imagePath);
