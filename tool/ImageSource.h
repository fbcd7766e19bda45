// An existing disc image opened for reading: a cue sheet with the one .bin it
// names (raw 2352-byte Mode 2 sectors), a .bin alone, or a plain 2048-byte
// .iso. Nothing in it is trusted: the cue sheet is read only up to a small
// size, the file it names must lie beside it, and every read is bounded by
// the sectors the file really holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/PosixFile.h"
#include "tool/ToolError.h"

struct CueTrack {
  int number = 0;
  std::uint32_t index01 = 0;  // first sector of the track's data
};

struct CueSheetContents {
  std::string fileName;  // as written between the quotes of the FILE line
  std::vector<CueTrack> tracks;
};

// Parses a cue sheet of one FILE ... BINARY with MODE2/2352 tracks; the
// reason when it is anything else.
std::optional<std::string> ParseCueSheet(std::string_view text, CueSheetContents& out);

// The largest cue sheet read: 99 tracks take a few kilobytes.
inline constexpr std::size_t MAX_CUE_SHEET_BYTES = 64 * 1024;

enum class SectorFormat { Raw2352, Plain2048 };

class ImageSource {
 public:
  // Opens IMAGE (.cue, .bin, .iso; told apart by content where the name
  // leaves it open). An input error with the reason when it cannot.
  Status Open(const std::string& path);

  SectorFormat Format() const { return m_format; }
  std::size_t SectorSize() const { return m_format == SectorFormat::Raw2352 ? 2352 : 2048; }
  std::uint32_t SectorCount() const { return m_sectors; }
  // Bytes past the last whole sector (a truncated image).
  std::uint64_t TrailingBytes() const { return m_trailing; }
  // Tracks from the cue sheet; empty for a file without one.
  const std::vector<CueTrack>& Tracks() const { return m_tracks; }
  const std::string& DataPath() const { return m_dataPath; }
  const std::string& CuePath() const { return m_cuePath; }

  // Reads `count` whole sectors starting at `lba` into `out` (resized); the
  // range must lie inside the image.
  Status Read(std::uint32_t lba, std::uint32_t count, std::vector<std::uint8_t>& out) const;
  // The 2048 user bytes of logical block `lba` (Form 1 data, or the block of a plain image).
  Status ReadBlock(std::uint32_t lba, std::vector<std::uint8_t>& out) const;

  // True when `path` names the image's data file or its cue sheet.
  bool IsOneOfItsFiles(const std::string& path) const;

 private:
  Status OpenData(const std::string& path);
  Status OpenCue(const std::string& path);

  OwnedFd m_fd;
  SectorFormat m_format = SectorFormat::Raw2352;
  std::uint32_t m_sectors = 0;
  std::uint64_t m_trailing = 0;
  std::vector<CueTrack> m_tracks;
  std::string m_dataPath, m_cuePath;
  std::uint64_t m_device = 0, m_inode = 0, m_cueDevice = 0, m_cueInode = 0;
};
