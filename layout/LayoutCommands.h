// The commands that change the layout, with no window: Add Files, Add Media
// Files, Add Folder and dropped files (from disk), Make Folder, Set/Unset
// Form2, and a loaded layout file. Each returns what it did; the window
// selects, redraws and says what the report holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/StructureFile.h"
#include "layout/LayoutModel.h"

// What a command that inserts did.
struct InsertReport {
  // One entry per path or name asked for, in order: the new item, or 0 when
  // nothing was created (not found, the store full, a name a layout file
  // cannot carry). A folder from disk comes with everything below it.
  std::vector<int> inserted;
  // Paths from disk passed over because a layout file could not carry them
  // (at any depth of a scan), and the first of them.
  std::size_t passedOver = 0;
  std::string firstPassedOver;
};

// The folder that receives new items when target was pointed at: a folder
// itself, a file's folder, or the top level for none (0).
int ReceivingFolder(const LayoutModel& model, int target);

// Paths from disk, each last among the children of parent; with form2 every
// file inserted is marked Form 2.
InsertReport AddFromDisk(LayoutModel& model, const std::vector<std::string>& paths, int parent,
                         bool form2 = false);

// A folder made in the layout, last among the children of parent.
InsertReport MakeFolder(LayoutModel& model, const std::string& name, int parent);

// Set/Unset Form2 on a folder changes everything below it, so the window
// asks first: true for a folder with children.
bool Form2ChangesSubtree(const LayoutModel& model, int item);
// Flips a file's Form 2 mark; a folder with children flips its own flag and
// gives it to everything below. An empty folder (and the top level) stays.
void ToggleForm2(LayoutModel& model, int item);

// A loaded layout file: its actions carried out on the layout (files
// into the folder made last, the top level before any). options: the
// actions that set options, in order, for the window to apply.
struct LoadedLayout {
  InsertReport report;
  std::vector<StructureAction> options;
};
LoadedLayout ApplyStructure(LayoutModel& model, const std::vector<StructureAction>& actions);
