#include "tool/ImagePlanner.h"

#include "common/PosixFile.h"
#include "tool/CueSheet.h"
#include "tool/IsoNames.h"

namespace {

// Whether a Form 2 file's name changed only by taking the -e extension: the
// same name mapped without it reads as on disk.
bool onlyExtensionChanged(const ToolOptions& o, const ImageNode& file) {
  if (!file.isForm2 || o.keepExtension || o.form2Extension.empty()) return false;
  return visibleName(mapFileName(file.rawName, o.isoLevel, nullptr).identifier(), false) == file.rawName;
}

void addChangesOf(const ToolOptions& o, const ImageNode& folder, std::vector<NameChange>& out) {
  const std::string where = folder.parent ? imagePath(folder) : std::string();
  for (const auto& child : folder.children) {
    const std::string shown = visibleName(child->identifier, child->isFolder);
    if (shown == child->rawName && !child->numbered) continue;
    NameChangeCause cause = NameChangeCause::Mapped;
    if (child->numbered) cause = NameChangeCause::Clash;
    else if (!child->isFolder && onlyExtensionChanged(o, *child)) cause = NameChangeCause::Extension;
    out.push_back({where, child->rawName, shown, child->isFolder, cause, child->sourcePath});
  }
}

}  // namespace

Status planImageTree(const ToolOptions& options, const InputLookUp& lookUp, PlannedImage& planned) {
  if (Status s = buildImageTree(options, planned.root, lookUp)) return s;
  nameAndSortTree(options, planned.root, nullptr);
  return layOutImage(options, planned.root, planned.plan);
}

std::vector<NameChange> nameChanges(const ToolOptions& options, const ImageNode& root) {
  std::vector<NameChange> out;
  std::vector<const ImageNode*> pending = {&root};  // depth first, no recursion
  while (!pending.empty()) {
    const ImageNode* folder = pending.back();
    pending.pop_back();
    addChangesOf(options, *folder, out);
    for (auto it = folder->children.rbegin(); it != folder->children.rend(); ++it)  // first on top
      if ((*it)->isFolder) pending.push_back(it->get());
  }
  return out;
}

Status planImage(const ToolOptions& options, const InputLookUp& lookUp, ImageSummary& summary) {
  PlannedImage planned;
  if (Status s = buildImageTree(options, planned.root, lookUp)) return s;
  nameAndSortTree(options, planned.root, nullptr);
  if (Status s = layOutImage(options, planned.root, planned.plan, kNoSectorLimit)) return s;
  summary.totalSectors = planned.plan.totalSectors;
  summary.cueBytes = cueSheetText(BaseName(options.target + ".bin"), planned.plan).size();
  summary.nameChanges = nameChanges(options, planned.root);
  if (planned.plan.totalSectors > kMaxImageSectors) return layoutError(imageTooLongMessage());
  return std::nullopt;
}

Status planImageFromArguments(const std::vector<std::string>& args, const InputLookUp& lookUp, ImageSummary& summary) {
  const ParsedArguments parsed = parseToolArguments(args);
  if (!parsed.options) return ToolError{ExitCode::Usage, parsed.error};
  return planImage(*parsed.options, lookUp, summary);
}

std::string nameChangeLine(const NameChange& change, IsoLevel level) {
  const std::string what = change.isFolder ? "folder " + change.diskName : change.sourcePath;
  std::string cause = "name already used";
  if (change.cause == NameChangeCause::Extension) cause = "Form 2 extension";
  else if (change.cause == NameChangeCause::Mapped)
    cause = level == IsoLevel::Level1 ? "ISO level 1 name" : level == IsoLevel::Level2 ? "ISO level 2 name" : "name mapped";
  return "Renamed " + what + " to " + change.imageName + " in " +
         (change.folder.empty() ? std::string("the root") : change.folder) + ": " + cause;
}

std::string imageWrittenLine(const std::string& binPath, std::uint32_t sectors) {
  return "Image " + binPath + " written: " + std::to_string(sectors) + " sectors";
}
