// The layout structure file (.kbv): one line, the option string without its
// leading blank. Loading tokenizes it and turns it into a list of actions
// that the window then carries out on the tree and the option controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The tokenizer: one read position over the text; each call skips the
// delimiters, then takes the longest run of non-delimiters and moves past the
// delimiter that ended it. Empty at the end, and empty ever after.
class StructureTokenizer {
 public:
  explicit StructureTokenizer(std::string_view text) : m_text(text) {}
  std::string Next(std::string_view delimiters);
  // Option tokens end at a minus sign or a blank; values at a double quote.
  std::string NextOption() { return Next("- "); }
  std::string NextValue() { return Next("\""); }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

enum class StructureActionKind {
  MakeFolder,      // "d": folderPath split into its non-empty components
  SetForm2Ext,     // "e"
  AddForm1File,    // "f"
  AddForm2File,    // "m"
  SetImagePath,    // "o"
  SetSingleTrack,  // "s"
  SetVolumeName,   // "v"
  SetKeepExtension // "x"
};

struct StructureAction {
  StructureActionKind kind;
  std::string value;                    // e, f, m, o, v: the value read
  std::vector<std::string> components;  // d: the folder path's names, none empty
};

// Parses the text, up to a NUL byte if it holds one, into actions, in order.
// Tokens whose first character is none of d, e, f, m, o, s, v, x are passed
// over; so are the empty names of a "-d" value, and a "-d" with none other.
std::vector<StructureAction> ParseStructure(std::string_view text);

// Splits a "-d" value at every backslash (components taken whole).
std::vector<std::string> SplitFolderPath(std::string_view value);
// The names joined by backslashes.
std::string JoinFolderPath(const std::vector<std::string>& components);

// The largest structure file Load reads (only a regular file is read: a FIFO
// would read as empty and so empty the layout). A full layout is 49,999
// entries; a file entry is ' -f "' (5 bytes), a path the system can open
// (below PATH_MAX, 4,096 bytes) and '"': at most about 205 MB. Folder entries
// of an ordinary depth are far shorter. Anything larger is not a layout, and a
// file of no end (a link to /dev/zero) or of many gigabytes must not fill the
// memory.
inline constexpr std::uint64_t MAX_STRUCTURE_FILE_BYTES = 256ull * 1024 * 1024;
