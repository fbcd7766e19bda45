// A layout model as one line of text, to compare a whole shape at once:
// "label" for each child of parent, "*" after a Form 2 file, a folder's
// children in braces: "a.txt,V{b.avi*}".
#pragma once

#include <string>

#include "layout/LayoutModel.h"

inline std::string Picture(const LayoutModel& model, int parent = LayoutModel::TOP_LEVEL) {
  std::string out;
  for (const int child : model.ChildrenOf(parent)) {
    if (!out.empty()) out += ',';
    out += model.Label(child);
    if (model.IsFolder(child)) {
      out += '{' + Picture(model, child) + '}';
    } else if (model.IsForm2(child)) {
      out += '*';
    }
  }
  return out;
}
