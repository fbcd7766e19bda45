// Reads the ISO 9660 file system of an opened image: the primary volume
// descriptor, then every directory from the root down, into a list of
// entries. Nothing recorded is trusted: a name that could leave the folder it
// is extracted into, an extent outside the image, a folder that loops back, a
// record that crosses its block, each leaves that entry out with the reason,
// and the reading stays bounded by the image's own size.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tool/ImageSource.h"
#include "tool/ToolError.h"

struct IsoEntry {
  std::string name;            // as a reader shows it: no ";1", no trailing dot
  bool isFolder = false;
  bool isForm2 = false;        // the XA field marks Mode 2 Form 2 sectors
  std::uint32_t extent = 0;
  std::uint32_t dataLength = 0;
  std::size_t parent = 0;      // index of the folder holding it (the root is entry 0)
  std::vector<std::size_t> children;  // in record order
  std::string leftOut;         // why it cannot be taken; empty when it can
  // Sectors of the extent: the recorded length in 2048-byte blocks.
  std::uint32_t Sectors() const { return static_cast<std::uint32_t>((std::uint64_t{dataLength} + 2047) / 2048); }
};

struct IsoVolume {
  std::string volumeIdentifier;  // trailing blanks removed
  std::time_t created = 0;
  bool hasDate = false;
  std::uint32_t volumeSpaceSize = 0;
  std::uint32_t pathTableBytes = 0;
  std::uint32_t lTableSector = 0;
  std::uint32_t mTableSector = 0;
  std::vector<IsoEntry> entries;   // entries[0] is the root
  std::vector<std::string> faults; // structure faults, one line each
};

// The most files and folders read: what the program's layout can hold.
inline constexpr std::size_t MAX_IMAGE_ENTRIES = 49999;

// Fails only when there is no file system to read (no volume descriptor, a
// root outside the image); everything else is a fault or a left-out entry.
Status ReadIsoVolume(const ImageSource& image, IsoVolume& volume);

// Compares both path tables with the folders found: one line per fault.
std::vector<std::string> CheckPathTables(const ImageSource& image, const IsoVolume& volume);

// "VIDEO/CLIP.DAT", with control bytes shown as \xNN.
std::string EntryPath(const IsoVolume& volume, std::size_t index);
