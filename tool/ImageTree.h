// The tree written to the image: built from the layout entries, one node per
// folder and file, with the ISO identifier and, once laid out, the extent.
// The layout entries themselves stay untouched in ToolOptions.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/PosixFile.h"
#include "tool/ToolArguments.h"
#include "tool/ToolError.h"

// Nothing that walks the tree recurses: a folder may lie any number of
// levels deep.
struct ImageNode {
  ImageNode() = default;
  ~ImageNode();  // takes the subtree apart level by level
  ImageNode(const ImageNode&) = delete;
  ImageNode& operator=(const ImageNode&) = delete;

  bool isFolder = false;
  bool isForm2 = false;         // files given with -m
  std::string rawName;          // as given: a -d component or the file's own name
  std::string sourcePath;       // files: the path on disk
  std::uint64_t size = 0;       // files: bytes on disk when the tree was built
  std::time_t modified = 0;     // files: modification time
  std::uint64_t device = 0;     // files: identity on disk, to tell an input
  std::uint64_t inode = 0;      //   from the image's own files
  OwnedFd source;               // files: opened by the look-up, for the write (or not kept)
  std::string identifier;       // ISO identifier without ";1"
  bool numbered = false;        // given a number: its name clashed with an earlier one
  ImageNode* parent = nullptr;
  std::vector<std::unique_ptr<ImageNode>> children;

  // Filled in by the layout.
  std::uint32_t extent = 0;      // first sector
  std::uint32_t sectors = 0;     // sectors of the extent
  std::uint32_t dataLength = 0;  // recorded length in bytes
  std::uint16_t pathNumber = 0;  // folders: 1-based position in the path table
  int depth = 1;                 // the root is at depth 1
};

// What the layout needs to know of one input file.
struct InputFile {
  std::uint64_t size = 0;
  std::time_t modified = 0;
  std::uint64_t device = 0;  // identity on disk; 0 and 0 when not known
  std::uint64_t inode = 0;
  OwnedFd source;            // the file opened for reading, when the look-up keeps it
};

// Finds one -f/-m file: the facts, or the failure that stops the run. The tool
// looks on disk (LookUpInputOnDisk); a program that knows the sizes already
// gives its own.
using InputLookUp = std::function<Status(const std::string& path, InputFile& found)>;

// Opens the files of a run one after the other. Files given from one folder
// (as a folder added to a layout gives them) are opened relative to that
// folder, held open from its second file on, so that the system walks only
// each file's own name and not the whole path again; the first file of a
// folder, and any path that names no folder, is opened as it is.
// Opening "a/b/" and then "c" in it walks exactly the components "a/b/c"
// walks, so every path opens what it names.
class InputOpener {
 public:
  // ::open(path, flags) as far as the caller can tell: a descriptor, or -1
  // with errno set.
  int Open(const std::string& path, int flags);
  // What to open `path` relative to (AT_FDCWD or a folder held), and the
  // name to open there. A folder given up for the next one stays open until
  // ReleaseFolders, so that opens still under way can use it.
  int Where(const std::string& path, const char*& name);
  void ReleaseFolders() { m_released.clear(); }

 private:
  std::string m_folder;  // the folder part of the last path, its '/' included
  OwnedFd m_folderFd;    // that folder, once a second file came from it
  bool m_folderTried = false;
  std::vector<OwnedFd> m_released;
};

// A regular file that can be opened for reading: opened, and looked up
// through that descriptor (one open and one fstat), which found.source keeps.
Status OpenInput(const std::string& path, InputFile& found, InputOpener* opener = nullptr);
// OpenInput, the descriptor closed again: the look-up of a plan.
Status LookUpInputOnDisk(const std::string& path, InputFile& found);
// The look-up of a run: each file is opened once and stays open for the
// write, for as many files as the process may hold open (the limit raised
// as far as it goes); the files past those are opened again to be written.
// The files of `entries` (a run's own, living as long as the look-up) are
// opened and looked up in batches where the system allows it, in the order
// they are asked for.
InputLookUp KeepingInputsOpen(const std::vector<LayoutEntry>& entries);

// Looks up the size and time of every -f/-m file and places each entry in its
// folder; folders named by -d are created with their parents.
Status BuildImageTree(const ToolOptions& options, ImageNode& root,
                      const InputLookUp& lookUp = LookUpInputOnDisk);

// Gives every node its identifier (mapped, renamed on clashes) and sorts every
// folder's children in record order. Renames are reported through `note`.
void NameAndSortTree(const ToolOptions& options, ImageNode& root,
                     void (*note)(const std::string& line));

// Closes every input the look-up kept open: where their descriptors are
// consecutive (files opened one after the other), in one call for all.
void CloseInputs(ImageNode& root);

// Calls `visit` for every file, depth first in record order.
template <typename Node, typename Visit>
void ForEachFile(Node& folder, Visit&& visit) {
  std::vector<std::pair<Node*, std::size_t>> open = {{&folder, 0}};  // folder, next child
  while (!open.empty()) {
    Node* node = open.back().first;
    const std::size_t next = open.back().second++;
    if (next == node->children.size()) {
      open.pop_back();
      continue;
    }
    Node* child = node->children[next].get();
    if (child->isFolder) open.push_back({child, 0});
    else visit(*child);
  }
}

// The in-image path of a node for messages ("VIDEO/SUB/A.TXT").
std::string ImagePath(const ImageNode& node);
