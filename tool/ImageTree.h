// The tree written to the image: built from the layout entries, one node per
// folder and file, with the ISO identifier and, once laid out, the extent.
// The layout entries themselves stay untouched in ToolOptions.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "tool/ToolArguments.h"
#include "tool/ToolError.h"

struct ImageNode {
  bool isFolder = false;
  bool isForm2 = false;         // files given with -m
  std::string rawName;          // as given: a -d component or the file's own name
  std::string sourcePath;       // files: the path on disk
  std::uint64_t size = 0;       // files: bytes on disk when the tree was built
  std::time_t modified = 0;     // files: modification time
  std::uint64_t device = 0;     // files: identity on disk, to tell an input
  std::uint64_t inode = 0;      //   from the image's own files
  std::string identifier;       // ISO identifier without ";1"
  ImageNode* parent = nullptr;
  std::vector<std::unique_ptr<ImageNode>> children;

  // Filled in by the layout.
  std::uint32_t extent = 0;      // first sector
  std::uint32_t sectors = 0;     // sectors of the extent
  std::uint32_t dataLength = 0;  // recorded length in bytes
  std::uint16_t pathNumber = 0;  // folders: 1-based position in the path table
  int depth = 1;                 // the root is at depth 1
};

// Reads the size and time of every -f/-m file and places each entry in its
// folder; folders named by -d are created with their parents.
Status buildImageTree(const ToolOptions& options, ImageNode& root);

// Gives every node its identifier (mapped, renamed on clashes) and sorts every
// folder's children in record order. Renames are reported through `note`.
void nameAndSortTree(const ToolOptions& options, ImageNode& root,
                     void (*note)(const std::string& line));

// Calls `visit` for every file, depth first in record order.
template <typename Node, typename Visit>
void forEachFile(Node& folder, Visit&& visit) {
  for (const auto& child : folder.children) {
    if (child->isFolder) forEachFile(*child, visit);
    else visit(*child);
  }
}

// The in-image path of a node for messages ("VIDEO/SUB/A.TXT").
std::string imagePath(const ImageNode& node);
