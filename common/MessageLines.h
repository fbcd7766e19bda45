// Long lines of a message shortened in their middle, so that no message box
// grows wider or taller than the screen. Text is in characters (one wchar_t
// each on this platform), as the box counts them.
#pragma once

#include <cstddef>
#include <string>

// text with its middle replaced by "..." when it has more than maxChars
// characters; the result has at most maxChars characters.
std::wstring MiddleShortened(const std::wstring& text, std::size_t maxChars);

// text with each of its lines (between line breaks) shortened so.
std::wstring LinesShortened(const std::wstring& text, std::size_t maxChars);
