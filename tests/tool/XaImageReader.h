// A small reader of raw XA images for the tests, written apart from the
// writer (it shares none of its code): it walks the volume descriptor, both
// path tables and every directory, and collects what it finds wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RawImage {
  std::vector<std::uint8_t> bytes;
  std::size_t SectorCount() const { return bytes.size() / 2352; }
  const std::uint8_t* Sector(std::size_t lba) const { return bytes.data() + lba * 2352; }
  const std::uint8_t* UserData(std::size_t lba) const { return Sector(lba) + 24; }
  bool IsForm2(std::size_t lba) const { return (Sector(lba)[18] & 0x20) != 0; }
};

bool LoadRawImage(const std::string& path, RawImage& image);

struct ImageEntry {
  std::string path;        // "VIDEO/M.DAT;1", as recorded, from the root
  std::uint32_t extent = 0;
  std::uint32_t size = 0;  // recorded data length
  bool folder = false;
  std::uint16_t xaAttributes = 0;
  std::uint8_t xaFileNumber = 0;
  std::uint8_t date[7] = {};  // years since 1900, month, day, hour, minute, second, GMT offset
};

struct PathTableRecord {
  std::string identifier;
  std::uint32_t extent = 0;
  std::uint16_t parent = 0;
};

struct IsoView {
  std::string volumeIdentifier;
  std::uint32_t volumeSpaceSize = 0;
  std::vector<PathTableRecord> lTable, mTable;
  std::vector<ImageEntry> entries;  // every file and folder below the root
  std::vector<std::uint32_t> structureSectors;  // descriptors, tables, directories
  std::vector<std::string> problems;
};

// Reads the ISO 9660 structures and checks: XA mark, L and M tables equal and
// sorted, every directory sorted, no record across a block boundary, an XA
// field with its signature in every record, "." and ".." right. A malformed
// image (records or extents out of bounds, a directory loop) gives problems;
// nothing is read outside the image.
IsoView ReadIsoView(const RawImage& image);

// The sectors of the .bin that lie in INDEX 00 .. INDEX 01 of some track.
std::vector<std::pair<std::uint32_t, std::uint32_t>> CuePregaps(const std::string& cueText);
