// The commands that change the layout, with no window: Add Files, Add Media
// Files, Add Folder and dropped files (from disk), Make Folder, Remove,
// Remove All, Rename, Set/Unset Form2, moving by a drag, and a loaded layout
// file. Each returns what it did; the window selects, redraws and says what
// the report holds.
#pragma once

#include <optional>
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
  PassedOver passedOver;
};

// The folder that receives new items when target was pointed at: a folder
// itself, a file's folder, or the top level for none (0).
int ReceivingFolder(const LayoutModel& model, int target);

// Where paths dropped from the file manager go: into the folder under the
// pointer; over a file or empty space (0), the top level.
int DroppedPathsFolder(const LayoutModel& model, int over);

// The item selected after a command inserted into folder: the last path's
// item; when that made none, the folder (0: nothing is selected).
int SelectionAfterInsert(const InsertReport& report, int folder);

// Paths from disk, each last among the children of parent; with form2 every
// file inserted is marked Form 2.
InsertReport AddFromDisk(LayoutModel& model, const std::vector<std::string>& paths, int parent,
                         bool form2 = false);

// A folder made in the layout, last among the children of parent.
InsertReport MakeFolder(LayoutModel& model, const std::string& name, int parent);

// The item selected after Remove of item: the one before it among its
// siblings, or none (0) for a first child.
int SelectionAfterRemove(const LayoutModel& model, int item);

// Takes item with its subtree out of the layout (false when it is not in it).
bool RemoveItem(LayoutModel& model, int item);
// Empties the layout.
void RemoveAll(LayoutModel& model);

// A folder takes a new name. False, and nothing changes, for an item that is
// not a folder in the layout or a name a layout file cannot carry.
bool RenameFolder(LayoutModel& model, int folder, const std::string& name);

// Moves item with its subtree to the end of newParent's children (none or an
// item no longer there: the top level). Returns the folder that received
// it, or nothing when it stays: a folder onto itself or below itself.
std::optional<int> MoveItem(LayoutModel& model, int item, int newParent);
// A drag of item released over target (0: empty space): over a file the
// target is its folder; dropping an item on itself or into the folder it is
// in changes nothing; empty space moves it to the end of the top level.
// Returns the folder that received it, or nothing when it stays.
std::optional<int> DropItem(LayoutModel& model, int item, int target);

// Set/Unset Form2 on a folder changes everything below it, so the window
// asks first: true for a folder with children.
bool Form2ChangesSubtree(const LayoutModel& model, int item);
// Flips a file's Form 2 mark; a folder with children flips its own flag and
// gives it to everything below. An empty folder (and the top level) stays.
void ToggleForm2(LayoutModel& model, int item);

// The folder part of a file's path with its closing separator, as Browse
// File Folder opens it; "" for a folder or an item not in the layout.
std::string FileFolderOf(const LayoutModel& model, int item);

// What the context menu offers for its target (0: empty space). Make Folder
// and Remove All are offered for any target.
struct MenuOffer {
  bool setForm2 = false;
  bool browseFolder = false;
  bool rename = false;
  bool remove = false;
  bool operator==(const MenuOffer&) const = default;
};
MenuOffer MenuOfferFor(const LayoutModel& model, int target);

// A loaded layout file: its actions carried out on the layout (files
// into the folder made last, the top level before any). options: the
// actions that set options, in order, for the window to apply.
struct LoadedLayout {
  InsertReport report;
  std::vector<StructureAction> options;
};
LoadedLayout ApplyStructure(LayoutModel& model, const std::vector<StructureAction>& actions);
