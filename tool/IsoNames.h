// Names in the image: how a file or folder name from the command line becomes
// an ISO 9660 identifier under each naming level, how clashes are resolved,
// and the order identifiers sort in.
//
//   Level 1: d-characters (A-Z 0-9 _), name 8 + extension 3, folders 8.
//   Level 2: d-characters, name + extension 30, folders 31.
//   ASCII:   the name as given, but '/', '\', ';' and control bytes become
//            '_', and at most 200 bytes, the extension kept; a cut never
//            splits a UTF-8 character.
// Mapping to d-characters works by character: a UTF-8 character of several
// bytes becomes one '_' (a byte that starts no well-formed character, one '_':
// an overlong form or an encoded surrogate is one '_' per byte).
#pragma once

#include <string>
#include <string_view>

#include "tool/ToolArguments.h"

// A file identifier without its ";1": name part, then '.', then extension
// (the dot is there even when the extension is empty).
struct FileName {
  std::string name;
  std::string extension;
  std::string Identifier() const { return name + "." + extension; }
};

// `raw` is the file's own name (no directory). When `newExtension` is given
// it replaces the file's own extension before mapping.
FileName MapFileName(std::string_view raw, IsoLevel level, const std::string* newExtension);
std::string MapFolderName(std::string_view raw, IsoLevel level);

// The same names with the number `n` worked into them, still within the limits.
FileName NumberedFileName(const FileName& name, IsoLevel level, unsigned n);
std::string NumberedFolderName(const std::string& name, IsoLevel level, unsigned n);

// The name a reader shows for a record: the identifier without ";1" and without
// a trailing dot.
std::string VisibleName(const std::string& identifier, bool isFolder);

// Two records of one folder must not share this key: the visible name with
// A-Z folded to lower case, since readers and the systems they extract to
// often ignore case.
std::string ClashKey(const std::string& identifier, bool isFolder);

// Record order within a directory: name part, then extension part, each
// compared byte by byte with the shorter one padded with spaces.
bool RecordLess(const std::string& identifierA, bool folderA, const std::string& identifierB,
                bool folderB);

// Identifier comparison with space padding (path tables).
int ComparePadded(std::string_view a, std::string_view b);

// The volume identifier: upper case, A-Z 0-9 and '_' only, at most 32.
std::string MapVolumeName(std::string_view raw);
