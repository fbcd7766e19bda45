#include "tool/ImageLayout.h"

#include <deque>

#include "tool/IsoStructures.h"
#include "tool/SectorCode.h"

namespace {

constexpr std::uint32_t MAX_PATH_TABLE_ENTRIES = 65535;

Status CheckDepth(const ToolOptions& options, const ImageNode& root) {
  if (options.isoLevel == IsoLevel::Ascii) return std::nullopt;
  std::vector<const ImageNode*> pending = {&root};
  while (!pending.empty()) {
    const ImageNode* folder = pending.back();
    pending.pop_back();
    if (folder->depth > MAX_ISO_DEPTH)
      return LayoutError("Cannot lay out folder " + ImagePath(*folder) + ": ISO level " +
                         (options.isoLevel == IsoLevel::Level1 ? "1" : "2") +
                         " allows at most 8 folder levels, the root included");
    for (auto it = folder->children.rbegin(); it != folder->children.rend(); ++it)  // first on top
      if ((*it)->isFolder) pending.push_back(it->get());
  }
  return std::nullopt;
}

// Breadth first over sorted children: by depth, then parent number, then name.
Status OrderFolders(ImageNode& root, ImagePlan& plan) {
  std::deque<ImageNode*> queue = {&root};
  while (!queue.empty()) {
    ImageNode* folder = queue.front();
    queue.pop_front();
    if (plan.folders.size() >= MAX_PATH_TABLE_ENTRIES)
      return LayoutError("Cannot lay out the image: more than 65535 folders");
    plan.folders.push_back(folder);
    folder->pathNumber = static_cast<std::uint16_t>(plan.folders.size());
    for (auto& child : folder->children)
      if (child->isFolder) queue.push_back(child.get());
  }
  return std::nullopt;
}

void PlacePathTables(ImagePlan& plan) {
  std::uint32_t bytes = 0;
  for (const ImageNode* f : plan.folders) {
    const std::size_t id = f->parent ? f->identifier.size() : 1;
    bytes += static_cast<std::uint32_t>(8 + id + id % 2);
  }
  plan.pathTableBytes = bytes;
  plan.pathTableSectors = (bytes + iso::LOGICAL_BLOCK_SIZE - 1) / iso::LOGICAL_BLOCK_SIZE;
  plan.lTableSector = iso::FIRST_FREE_SECTOR;
  plan.mTableSector = plan.lTableSector + plan.pathTableSectors;
}

// Places the runs one after the other and keeps the running total in 64 bits,
// so that no size can wrap before the limit is checked.
class SectorCursor {
 public:
  SectorCursor(std::uint64_t start, std::uint64_t limit) : m_next(start), m_limit(limit) {}
  std::uint64_t Next() const { return m_next; }
  // Sectors written ahead of the runs (the directories).
  Status Skip(std::uint64_t sectors) {
    if (m_next + sectors > m_limit)
      return m_limit == MAX_IMAGE_SECTORS ? LayoutError(ImageTooLongMessage())
                                        : LayoutError("Cannot lay out the image: more than " +
                                                      std::to_string(m_limit) + " sectors");
    m_next += sectors;
    return std::nullopt;
  }

  Status Add(ImagePlan& plan, RunKind kind, std::uint64_t sectors, const ImageNode* file = nullptr) {
    const std::uint64_t start = m_next;
    if (Status s = Skip(sectors)) return s;
    if (sectors > 0)
      plan.runs.push_back({kind, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(sectors), file});
    return std::nullopt;
  }

 private:
  std::uint64_t m_next;
  std::uint64_t m_limit;
};

std::uint64_t FileSectors(const ImageNode& f) {
  const std::uint64_t per = f.isForm2 ? sector::FORM2_DATA_SIZE : sector::FORM1_DATA_SIZE;
  return (f.size + per - 1) / per;
}

Status PlaceFile(ImagePlan& plan, SectorCursor& cursor, ImageNode& f) {
  const std::uint64_t sectors = FileSectors(f);
  const RunKind kind = f.isForm2 ? RunKind::Form2File : RunKind::Form1File;
  if (Status s = cursor.Add(plan, kind, sectors, &f)) return s;
  f.extent = static_cast<std::uint32_t>(cursor.Next() - sectors);
  f.sectors = static_cast<std::uint32_t>(sectors);
  // A Form 2 file records sectors x 2048: readers count its sectors from it.
  f.dataLength = static_cast<std::uint32_t>(f.isForm2 ? sectors * iso::LOGICAL_BLOCK_SIZE : f.size);
  return std::nullopt;
}

bool OwnTrack(const ToolOptions& options, const ImageNode& f) {
  return f.isForm2 && !options.singleTrack && f.size > 0;
}

std::vector<ImageNode*> FilesInOrder(ImageNode& root) {
  std::vector<ImageNode*> files;
  ForEachFile(root, [&](ImageNode& f) { files.push_back(&f); });
  return files;
}

Status PlaceFormTwoTracks(const ToolOptions& options, ImagePlan& plan, SectorCursor& cursor,
                          const std::vector<ImageNode*>& files) {
  for (ImageNode* f : files) {
    if (!OwnTrack(options, *f)) continue;
    if (static_cast<int>(plan.tracks.size()) >= MAX_TRACKS)
      return LayoutError("Cannot lay out the image: more than 99 tracks (use -s for one track)");
    const std::uint32_t index00 = static_cast<std::uint32_t>(cursor.Next());
    if (Status s = cursor.Add(plan, RunKind::Form2Gap, GAP_SECTORS)) return s;
    if (Status s = PlaceFile(plan, cursor, *f)) return s;
    plan.tracks.push_back({static_cast<int>(plan.tracks.size()) + 1, index00, f->extent});
    if (f->sectors < MINIMUM_TRACK_SECTORS)
      if (Status s = cursor.Add(plan, RunKind::Form2Gap, MINIMUM_TRACK_SECTORS - f->sectors)) return s;
  }
  return std::nullopt;
}

Status PlaceDirectories(ImagePlan& plan, SectorCursor& cursor) {
  for (ImageNode* folder : plan.folders) {
    folder->extent = static_cast<std::uint32_t>(cursor.Next());
    folder->sectors = iso::DirectorySectors(*folder);
    folder->dataLength = folder->sectors * static_cast<std::uint32_t>(iso::LOGICAL_BLOCK_SIZE);
    if (Status s = cursor.Skip(folder->sectors)) return s;
  }
  return std::nullopt;
}

}  // namespace

std::string ImageTooLongMessage() {
  return "Cannot lay out the image: it needs more than 99:59:74 of sectors (" + std::to_string(MAX_IMAGE_SECTORS) + ")";
}

Status LayOutImage(const ToolOptions& options, ImageNode& root, ImagePlan& plan, std::uint64_t sectorLimit) {
  if (Status s = CheckDepth(options, root)) return s;
  if (Status s = OrderFolders(root, plan)) return s;
  PlacePathTables(plan);
  SectorCursor cursor(plan.mTableSector + plan.pathTableSectors, sectorLimit);
  if (Status s = PlaceDirectories(plan, cursor)) return s;
  const std::vector<ImageNode*> files = FilesInOrder(root);
  plan.runs.reserve(files.size() + 2);  // a run per file, and the fill and gap after them
  for (ImageNode* f : files) {
    if (OwnTrack(options, *f)) continue;
    if (Status s = PlaceFile(plan, cursor, *f)) return s;
  }
  if (cursor.Next() < MINIMUM_TRACK_SECTORS)
    if (Status s = cursor.Add(plan, RunKind::Form1Fill, MINIMUM_TRACK_SECTORS - cursor.Next())) return s;
  plan.tracks.push_back({1, std::nullopt, 0});
  if (Status s = PlaceFormTwoTracks(options, plan, cursor, files)) return s;
  plan.volumeSpaceSize = static_cast<std::uint32_t>(cursor.Next());
  if (Status s = cursor.Add(plan, RunKind::Form2Gap, GAP_SECTORS)) return s;
  plan.totalSectors = static_cast<std::uint32_t>(cursor.Next());
  return std::nullopt;
}
