// Save and Load of the layout structure file, for the main window: the layout
// through its tree, the chooser for the file's name, messages over the window.
#pragma once

#include <string>
#include <vector>

#include "common/FileChooser.h"
#include "common/StructureFile.h"
#include "common/CommandLine.h"

class CDropTreeCtrl;
class wxWindow;

class LayoutFileCommands {
 public:
  LayoutFileCommands(CDropTreeCtrl& tree, FileChooser& chooser, wxWindow* messageParent);

  // Saves entries (null: nothing could be built, which is said).
  void Save(const CommandLine* entries);
  // Replaces the layout with a chosen file's. options: the settings the file
  // names, for the window to apply. False when nothing was loaded.
  bool Load(std::vector<StructureAction>& options);
  // The same for a file already named (the program's argument).
  bool LoadFile(const std::string& path, std::vector<StructureAction>& options);

 private:
  CDropTreeCtrl& m_tree;
  FileChooser& m_chooser;
  wxWindow* m_parent;
};
