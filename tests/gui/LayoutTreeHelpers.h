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
