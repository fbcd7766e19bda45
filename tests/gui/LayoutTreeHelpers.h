// Reading the layout tree back in tests (a compact picture, items by their
// labels) and building a layout in it.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "common/window/TextCodec.h"
#include "layout/window/DropTreeCtrl.h"

// The children of a level (none: the top level).
inline std::vector<wxTreeItemId> ChildrenOf(const CDropTreeCtrl& tree, wxTreeItemId parent = {}) {
  if (!parent.IsOk()) parent = tree.GetRootItem();
  std::vector<wxTreeItemId> items;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree.GetFirstChild(parent, cookie); item.IsOk();
       item = tree.GetNextChild(parent, cookie)) {
    items.push_back(item);
  }
  return items;
}

// The layout as text: items of a level joined by ',', a folder's content in
// braces, '*' after a bold label, and with indices '#' and the item's index.
// "a.txt,Video{intro.avi*,Extra{}}", "a.txt#1,Video#2{intro.avi*#3}"
inline std::string TreePicture(const CDropTreeCtrl& tree, wxTreeItemId parent = {}, bool indices = false) {
  std::string out;
  for (const wxTreeItemId& item : ChildrenOf(tree, parent)) {
    if (!out.empty()) out += ',';
    out += FromDisplay(tree.GetItemText(item));
    if (tree.IsBold(item)) out += '*';
    if (indices) out += '#' + std::to_string(tree.ItemIndex(item));
    if (tree.IsFolderItem(item)) out += '{' + TreePicture(tree, item, indices) + '}';
  }
  return out;
}

// The item at a '/'-separated path of labels; none when one is not found.
inline wxTreeItemId ItemAt(const CDropTreeCtrl& tree, const std::string& labels) {
  wxTreeItemId item;
  std::istringstream parts(labels);
  for (std::string label; std::getline(parts, label, '/');) {
    const std::vector<wxTreeItemId> children = ChildrenOf(tree, item);
    const auto found = std::find_if(children.begin(), children.end(), [&](const wxTreeItemId& c) {
      return FromDisplay(tree.GetItemText(c)) == label;
    });
    if (found == children.end()) return {};
    item = *found;
  }
  return item;
}

// A path from disk or a new folder, last under parent (none: the top level);
// the new item, or parent when nothing was created.
inline wxTreeItemId InsertPath(CDropTreeCtrl& tree, const std::string& path, wxTreeItemId parent) {
  const int index = tree.Model().InsertPath(path, tree.ItemIndex(parent));
  return index > 0 ? tree.ItemOf(index) : parent;
}

inline wxTreeItemId InsertFolder(CDropTreeCtrl& tree, const std::string& name, wxTreeItemId parent) {
  const int index = tree.Model().InsertFolder(name, tree.ItemIndex(parent));
  return index > 0 ? tree.ItemOf(index) : parent;
}

// An item's own Form 2 flag (a file is shown in bold).
inline void SetForm2(CDropTreeCtrl& tree, const wxTreeItemId& item, bool form2) {
  const int index = tree.ItemIndex(item);
  if (index > 0) tree.Model().SetForm2(index, form2);
}

inline void MarkForm2(CDropTreeCtrl& tree, const wxTreeItemId& item) { SetForm2(tree, item, true); }
