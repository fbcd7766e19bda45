#include "layout/LayoutCommands.h"

#include <algorithm>

namespace {

// The parent of a folder read from a "-d" value: its ancestors looked up from
// the top level down, the first match at each level. When one is missing the
// folder goes to the top level.
int FolderParent(const LayoutModel& model, const std::vector<std::string>& components) {
  int parent = LayoutModel::TOP_LEVEL;
  for (std::size_t i = 0; i + 1 < components.size(); ++i) {
    parent = model.FindFolder(components[i], parent);
    if (parent == 0) return LayoutModel::TOP_LEVEL;
  }
  return parent;
}

}  // namespace

int ReceivingFolder(const LayoutModel& model, int target) {
  if (target <= 0 || !model.Contains(target)) return LayoutModel::TOP_LEVEL;
  return model.IsFolder(target) ? target : model.ParentOf(target);
}

int DroppedPathsFolder(const LayoutModel& model, int over) {
  return model.Contains(over) && model.IsFolder(over) ? over : LayoutModel::TOP_LEVEL;
}

int SelectionAfterInsert(const InsertReport& report, int folder) {
  if (report.inserted.empty()) return 0;
  return report.inserted.back() > 0 ? report.inserted.back() : folder;
}

InsertReport AddFromDisk(LayoutModel& model, const std::vector<std::string>& paths, int parent,
                         bool form2) {
  InsertReport report;
  model.BeginCommand();
  for (const std::string& path : paths) {
    const int item = model.InsertPath(path, parent, &report.passedOver);
    if (item > 0 && form2) model.SetForm2(item, true);
    report.inserted.push_back(item);
  }
  return report;
}

InsertReport MakeFolder(LayoutModel& model, const std::string& name, int parent) {
  InsertReport report;
  model.BeginCommand();
  report.inserted.push_back(model.InsertFolder(name, parent));
  return report;
}

int SelectionAfterRemove(const LayoutModel& model, int item) {
  if (item <= 0 || !model.Contains(item)) return 0;
  const std::vector<int>& siblings = model.ChildrenOf(model.ParentOf(item));
  const auto at = std::find(siblings.begin(), siblings.end(), item);
  return at == siblings.begin() || at == siblings.end() ? 0 : *(at - 1);
}

bool RemoveItem(LayoutModel& model, int item) {
  if (item <= 0 || !model.Contains(item)) return false;
  model.Remove(item);  // the store keeps the entries of the removed items
  return true;
}

void RemoveAll(LayoutModel& model) {
  model.RemoveAll();  // the next index keeps its value
}

bool RenameFolder(LayoutModel& model, int folder, const std::string& name) {
  if (!model.Contains(folder) || !model.IsFolder(folder) || !LayoutModel::CanKeepFolderName(name)) {
    return false;
  }
  model.Rename(folder, name);
  return true;
}

std::optional<int> MoveItem(LayoutModel& model, int item, int newParent) {
  if (!model.Contains(newParent)) newParent = LayoutModel::TOP_LEVEL;
  if (!model.Move(item, newParent)) return std::nullopt;
  return newParent;
}

std::optional<int> DropItem(LayoutModel& model, int item, int target) {
  if (!model.Contains(item)) return std::nullopt;
  if (!model.Contains(target)) return MoveItem(model, item, LayoutModel::TOP_LEVEL);
  if (!model.IsFolder(target)) target = model.ParentOf(target);
  if (model.ParentOf(item) == target || item == target) return std::nullopt;
  return MoveItem(model, item, target);
}

bool Form2ChangesSubtree(const LayoutModel& model, int item) {
  return item > 0 && model.IsFolder(item) && !model.ChildrenOf(item).empty();
}

void ToggleForm2(LayoutModel& model, int item) {
  if (item <= 0) return;
  const bool value = !model.IsForm2(item);
  if (!model.IsFolder(item)) {
    model.SetForm2(item, value);
  } else if (Form2ChangesSubtree(model, item)) {
    model.SetForm2(item, value);
    model.ApplyForm2(item, value);
  }
}

std::string FileFolderOf(const LayoutModel& model, int item) {
  if (item <= 0 || !model.Contains(item) || model.IsFolder(item)) return {};
  const std::string& path = model.ItemPath(item);
  const std::string label = model.Label(item);
  if (!path.ends_with(label)) return {};
  return path.substr(0, path.size() - label.size());
}

MenuOffer MenuOfferFor(const LayoutModel& model, int target) {
  MenuOffer offer;
  if (target <= 0 || !model.Contains(target)) return offer;
  const bool folder = model.IsFolder(target);
  offer.setForm2 = offer.remove = true;
  offer.browseFolder = !folder;
  offer.rename = folder;
  return offer;
}

LoadedLayout ApplyStructure(LayoutModel& model, const std::vector<StructureAction>& actions) {
  LoadedLayout loaded;
  model.BeginCommand();
  int current = LayoutModel::TOP_LEVEL;
  for (const StructureAction& action : actions) {
    if (action.kind == StructureActionKind::MakeFolder) {
      // A folder that cannot be made (the store is full) leaves its parent current.
      const int parent = FolderParent(model, action.components);
      const int made = model.InsertFolder(action.components.back(), parent);
      loaded.report.inserted.push_back(made);
      current = made > 0 ? made : parent;
    } else if (action.kind == StructureActionKind::AddForm1File ||
               action.kind == StructureActionKind::AddForm2File) {
      const int item = model.InsertPath(action.value, current, &loaded.report.passedOver);
      if (item > 0 && action.kind == StructureActionKind::AddForm2File) model.SetForm2(item, true);
      loaded.report.inserted.push_back(item);
    } else {
      loaded.options.push_back(action);
    }
  }
  return loaded;
}
