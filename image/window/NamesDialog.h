// The names that change in the image, listed before it is written: the
// folder in the image, the name on disk (a folder's name in the layout), the
// name in the image, and why it changed ("clash" marks a numbered name).
#pragma once

#include <wx/dialog.h>

#include <vector>

#include "tool/ImagePlanner.h"

class wxListCtrl;
class NamesList;

class NamesDialog : public wxDialog {
 public:
  NamesDialog(wxWindow* parent, const std::vector<NameChange>& changes);
  wxListCtrl* List() const;

  // The texts of one row, as the list shows them (folder "/" for the root).
  static std::vector<std::string> RowTexts(const NameChange& change);

 private:
  NamesList* m_list = nullptr;  // virtual: rows are made as they are shown
};
