// The entry walk over the layout model. The walk keeps its own stack, so a
// layout nested as deep as the store allows needs no deep call chain.
#include "image/BuildEntries.h"

#include <vector>

namespace {

// The file entries of one folder (or of the top level), in order: "-f", or
// "-m" for a Form 2 file, each file's size counted. False at the first file
// that cannot be found.
bool AppendFileEntries(const LayoutModel& model, int folder, const ItemLookUp& lookUp,
                       EntryBuild& build) {
  for (const int item : model.ChildrenOf(folder)) {
    if (model.IsFolder(item)) continue;
    const std::string& path = model.ItemPath(item);
    const std::optional<DiskEntry> found = lookUp(item, path);
    if (!found || found->kind != DiskKind::File) {
      build.missingPath = path;
      return false;
    }
    build.totalSize += static_cast<std::int64_t>(found->size);
    build.fileSizes.push_back(found->size);
    build.entries.push_back(MakeEntry(model.IsForm2(item) ? Option::Form2File : Option::Form1File, path));
  }
  return true;
}

// A folder being walked: the next of its children to look at, and the
// in-image path of the folder followed by a backslash.
struct Level {
  int folder;
  std::size_t next;
  std::string prefix;
};

}  // namespace

std::vector<std::uint64_t> LookUpLayoutFiles(const LayoutModel& model) {
  std::vector<int> files;
  std::vector<const std::string*> paths;
  for (int index = 1; index < model.NextIndex(); ++index) {
    if (!model.Contains(index) || model.IsFolder(index)) continue;
    files.push_back(index);
    paths.push_back(&model.ItemPath(index));
  }
  const std::vector<std::uint64_t> found = LookUpFileSizes(paths);
  std::vector<std::uint64_t> sizes(static_cast<std::size_t>(model.NextIndex()), NOT_A_FILE);
  for (std::size_t i = 0; i < files.size(); ++i) sizes[static_cast<std::size_t>(files[i])] = found[i];
  return sizes;
}

EntryBuild BuildEntries(const LayoutModel& model, const CommandSettings& settings,
                        const PathLookUp& lookUp) {
  return BuildEntries(model, settings, [&lookUp](int, const std::string& path) { return lookUp(path); });
}

EntryBuild BuildEntries(const LayoutModel& model, const CommandSettings& settings,
                        const ItemLookUp& lookUp) {
  EntryBuild build;
  AppendSettingsEntries(settings, build.entries);
  if (model.IsEmpty()) return build;
  // One entry per item: room for all of them at once, not grown step by
  // step through copies of twice the size.
  std::size_t items = 0, files = 0;
  for (int index = 1; index < model.NextIndex(); ++index) {
    if (!model.Contains(index)) continue;
    ++items;
    if (!model.IsFolder(index)) ++files;
  }
  build.entries.reserve(build.entries.size() + items);
  build.fileSizes.reserve(files);
  build.status = EntryBuildStatus::Missing;
  if (!AppendFileEntries(model, LayoutModel::TOP_LEVEL, lookUp, build)) return build;
  std::vector<Level> stack{{LayoutModel::TOP_LEVEL, 0, std::string()}};
  while (!stack.empty()) {
    Level& level = stack.back();
    const std::vector<int>& children = model.ChildrenOf(level.folder);
    while (level.next < children.size() && !model.IsFolder(children[level.next])) ++level.next;
    if (level.next == children.size()) {
      stack.pop_back();
      continue;
    }
    const int sub = children[level.next++];
    const std::string path = level.prefix + model.ItemPath(sub);
    build.entries.push_back(MakeEntry(Option::Folder, path));
    if (!AppendFileEntries(model, sub, lookUp, build)) return build;
    stack.push_back(Level{sub, 0, path + "\\"});
  }
  build.status = EntryBuildStatus::Built;
  return build;
}
