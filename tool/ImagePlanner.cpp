#include "tool/ImagePlanner.h"

#include "common/PosixFile.h"
#include "tool/CueSheet.h"
#include "tool/IsoNames.h"

namespace {

// Whether a Form 2 file's name changed only by taking the -e extension: the
// same name mapped without it reads as on disk.
bool OnlyExtensionChanged(const ToolOptions& o, const ImageNode& file) {
  if (!file.isForm2 || o.keepExtension || o.form2Extension.empty()) return false;
  return VisibleName(MapFileName(file.rawName, o.isoLevel, nullptr).Identifier(), false) == file.rawName;
}

void AddChangesOf(const ToolOptions& o, const ImageNode& folder, std::vector<NameChange>& out) {
  const std::string where = folder.parent ? ImagePath(folder) : std::string();
  for (const auto& child : folder.children) {
    const std::string shown = VisibleName(child->identifier, child->isFolder);
    if (shown == child->rawName && !child->numbered) continue;
    NameChangeCause cause = NameChangeCause::Mapped;
    if (child->numbered) cause = NameChangeCause::Clash;
    else if (!child->isFolder && OnlyExtensionChanged(o, *child)) cause = NameChangeCause::Extension;
    out.push_back({where, child->rawName, shown, child->isFolder, cause, child->sourcePath});
  }
}

}  // namespace

Status PlanImageTree(const ToolOptions& options, const InputLookUp& lookUp, PlannedImage& planned) {
  if (Status s = BuildImageTree(options, planned.root, lookUp)) return s;
  NameAndSortTree(options, planned.root, nullptr);
  return LayOutImage(options, planned.root, planned.plan);
}

std::vector<NameChange> NameChanges(const ToolOptions& options, const ImageNode& root) {
  std::vector<NameChange> out;
  std::vector<const ImageNode*> pending = {&root};  // depth first, no recursion
  while (!pending.empty()) {
    const ImageNode* folder = pending.back();
    pending.pop_back();
    AddChangesOf(options, *folder, out);
    for (auto it = folder->children.rbegin(); it != folder->children.rend(); ++it)  // first on top
      if ((*it)->isFolder) pending.push_back(it->get());
  }
  return out;
}

Status PlanImage(const ToolOptions& options, const InputLookUp& lookUp, ImageSummary& summary) {
  PlannedImage planned;
  if (Status s = BuildImageTree(options, planned.root, lookUp)) return s;
  NameAndSortTree(options, planned.root, nullptr);
  if (Status s = LayOutImage(options, planned.root, planned.plan, NO_SECTOR_LIMIT)) return s;
  summary.totalSectors = planned.plan.totalSectors;
  summary.cueBytes = CueSheetText(BaseName(options.target + ".bin"), planned.plan).size();
  summary.nameChanges = NameChanges(options, planned.root);
  if (planned.plan.totalSectors > MAX_IMAGE_SECTORS) return LayoutError(ImageTooLongMessage());
  return std::nullopt;
}

Status PlanImageFromArguments(const std::vector<std::string>& args, const InputLookUp& lookUp, ImageSummary& summary) {
  const ParsedArguments parsed = ParseToolArguments(args);
  if (!parsed.options) return ToolError{ExitCode::Usage, parsed.error};
  return PlanImage(*parsed.options, lookUp, summary);
}

std::string NameChangeLine(const NameChange& change, IsoLevel level) {
  const std::string what = change.isFolder ? "folder " + change.diskName : change.sourcePath;
  std::string cause = "name already used";
  if (change.cause == NameChangeCause::Extension) cause = "Form 2 extension";
  else if (change.cause == NameChangeCause::Mapped)
    cause = level == IsoLevel::Level1 ? "ISO level 1 name" : level == IsoLevel::Level2 ? "ISO level 2 name" : "name mapped";
  return "Renamed " + what + " to " + change.imageName + " in " +
         (change.folder.empty() ? std::string("the root") : change.folder) + ": " + cause;
}

std::string ImageWrittenLine(const std::string& binPath, std::uint32_t sectors) {
  return "Image " + binPath + " written: " + std::to_string(sectors) + " sectors";
}
