// Sector assignment: every area of the image is placed before a byte is
// written. Sectors 0-15 system area, 16 volume descriptor, 17 terminator,
// then the L and M path tables, the directories (path-table order), the
// files, zero Form 1 sectors up to 300 sectors in the data track, any Form 2
// tracks (150-sector pre-gap each), and a 150-sector post-gap at the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/DiscGeometry.h"
#include "tool/ImageTree.h"
#include "tool/ToolArguments.h"
#include "tool/ToolError.h"

// Consecutive sectors of one kind, after the directories, in image order.
enum class RunKind {
  Form1File,  // a -f file (or, with -s, nothing else)
  Form2File,  // a -m file
  Form1Fill,  // zero Form 1 sectors: the data track's minimum length
  Form2Gap,   // empty Form 2 sectors: pre-gaps, track fill, the post-gap
};

struct SectorRun {
  RunKind kind = RunKind::Form1Fill;
  std::uint32_t start = 0;
  std::uint32_t sectors = 0;
  const ImageNode* file = nullptr;  // file runs only
};

struct TrackMark {
  int number = 1;
  std::optional<std::uint32_t> index00;  // start of the pre-gap
  std::uint32_t index01 = 0;
};

struct ImagePlan {
  std::vector<ImageNode*> folders;     // path-table order, root first
  std::uint32_t pathTableBytes = 0;
  std::uint32_t pathTableSectors = 0;
  std::uint32_t lTableSector = 0;
  std::uint32_t mTableSector = 0;
  std::vector<SectorRun> runs;
  std::vector<TrackMark> tracks;
  std::uint32_t volumeSpaceSize = 0;  // every sector but the final post-gap
  std::uint32_t totalSectors = 0;
};

inline constexpr std::uint32_t MINIMUM_TRACK_SECTORS = 300;
inline constexpr std::uint32_t GAP_SECTORS = 2 * disc::SECTORS_PER_SECOND;
inline constexpr int MAX_TRACKS = 99;
using disc::MAX_IMAGE_SECTORS;
inline constexpr int MAX_ISO_DEPTH = 8;  // levels 1 and 2, the root included

// The sectors past which the layout is refused. A plan that only counts (the
// program's size line) passes NO_SECTOR_LIMIT to learn how long a layout that
// does not fit is.
inline constexpr std::uint64_t NO_SECTOR_LIMIT = 0xFFFFFFFFu;
Status LayOutImage(const ToolOptions& options, ImageNode& root, ImagePlan& plan,
                   std::uint64_t sectorLimit = MAX_IMAGE_SECTORS);
std::string ImageTooLongMessage();
