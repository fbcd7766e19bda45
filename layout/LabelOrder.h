// The alphabetical order of labels among a scanned folder's children: letters
// compare by their place in the alphabet whatever their case, also outside
// ASCII (é sorts with e, É equals é); a letter without accent goes before its
// accented forms where the names are otherwise equal.
#pragma once

#include <string>

// A key whose byte order is that order: the letters folded to their base
// letter first, then the accents. A label that is not valid UTF-8 is read one
// character per byte (Latin-1), as it is shown.
std::string LabelSortKey(const std::string& label);
