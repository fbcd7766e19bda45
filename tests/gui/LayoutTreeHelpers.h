// Reading the layout tree back in tests: labels of children, the shape of a
// subtree, and the store entries behind an item.
#pragma once

#include <string>
#include <vector>

#include "layout/window/DropTreeCtrl.h"

// The labels of the children of item (none: the top level), in tree order.
inline std::vector<std::string> ChildLabels(const CDropTreeCtrl& tree, wxTreeItemId item) {
  if (!item.IsOk()) item = tree.GetRootItem();
  std::vector<std::string> labels;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
       child = tree.GetNextChild(item, cookie)) {
    labels.push_back(tree.GetItemText(child).utf8_string());
  }
  return labels;
}

// The child of item labelled label; invalid when there is none.
inline wxTreeItemId ChildNamed(const CDropTreeCtrl& tree, wxTreeItemId item,
                               const std::string& label) {
  if (!item.IsOk()) item = tree.GetRootItem();
  wxTreeItemIdValue cookie;
  for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
       child = tree.GetNextChild(item, cookie)) {
    if (tree.GetItemText(child).utf8_string() == label) return child;
  }
  return wxTreeItemId();
}

// "name" for a file, "name/" for a folder, children indented below, one line each.
inline void DescribeTree(const CDropTreeCtrl& tree, wxTreeItemId item, const std::string& indent,
                         std::string& out) {
  if (!item.IsOk()) item = tree.GetRootItem();
  wxTreeItemIdValue cookie;
  for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk();
       child = tree.GetNextChild(item, cookie)) {
    out += indent + tree.GetItemText(child).utf8_string() +
           (tree.IsFolderItem(child) ? "/" : "") + "\n";
    DescribeTree(tree, child, indent + "  ", out);
  }
}

inline std::string DescribeTree(const CDropTreeCtrl& tree) {
  std::string out;
  DescribeTree(tree, wxTreeItemId(), "", out);
  return out;
}

// Building a layout in tests, by tree items: a path from disk or a folder
// made in the layout, last among the children of parent (none: the top
// level). Each returns the new item, or parent when nothing was created.
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
