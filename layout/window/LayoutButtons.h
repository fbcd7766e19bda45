// The main window's buttons that edit the layout: Add Files, Add Media Files,
// Add Folder, Make Folder, Remove and Set/Unset Form2. They act through the
// tree (its selection, its messages) and take names from the chooser.
#pragma once

#include "common/FileChooser.h"

class CDropTreeCtrl;

class LayoutButtons {
 public:
  LayoutButtons(CDropTreeCtrl& tree, FileChooser& chooser) : m_tree(tree), m_chooser(chooser) {}

  // Files chosen in one dialog go to the end of the top level, in the
  // dialog's order; the last one added stays selected. Media files are Form 2.
  void AddFiles(bool media);
  // A folder picked in the folder browser enters the layout at the top level,
  // with everything below it, and is selected.
  void AddFolder();
  void MakeFolder();     // always on the top level
  void Remove();         // the selected item
  void ToggleForm2();    // the selected item

 private:
  CDropTreeCtrl& m_tree;
  FileChooser& m_chooser;
};
