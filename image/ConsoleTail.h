// What the console of a run keeps of an output that may never end: the last
// characters up to a bound, cut where a line starts when one starts soon
// after the cut, so that the first line kept is whole.
#pragma once

#include <cstddef>
#include <string_view>

// How far past the cut a line start is looked for.
inline constexpr std::size_t LINE_SEARCH = 4096;

// Where the first whole line of the text after a cut begins: just after its
// first line end within LINE_SEARCH characters, or 0 when none ends there.
// Only the first LINE_SEARCH characters after the cut are looked at.
std::size_t LineStartAfterCut(std::wstring_view fromCut);

// Where the part of text that is kept begins when at most room characters
// may stay: 0 when all of it fits; else just after the first line end within
// LINE_SEARCH characters of the first character that could stay, or at that
// character when no line ends there.
std::size_t KeptFrom(std::wstring_view text, std::size_t room);
