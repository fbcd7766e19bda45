// The image planned without writing it: the same pipeline as a run (look up
// the inputs, build the image tree, name and sort, assign sectors), stopping
// before the first byte. The tool's -n prints it; the program shows it while
// the layout is composed, with the file sizes it already knows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tool/ImageLayout.h"
#include "tool/ImageTree.h"
#include "tool/ToolArguments.h"
#include "tool/ToolError.h"

// Why a name in the image differs from the name on disk (or in the layout).
enum class NameChangeCause {
  Mapped,     // the naming level cut it or replaced characters
  Extension,  // a Form 2 file given the -e extension (and nothing else changed)
  Clash,      // numbered: an earlier name in the same folder reads the same
};

struct NameChange {
  std::string folder;     // in-image path of the folder holding it ("" = root, "VIDEO/SUB")
  std::string diskName;   // a file's own name on disk, a folder's name in the layout
  std::string imageName;  // as a reader shows it: no ";1", no trailing dot
  bool isFolder = false;
  NameChangeCause cause = NameChangeCause::Mapped;
  std::string sourcePath;  // files: the path on disk
};

struct ImageSummary {
  // Sectors of the .bin, 2352 bytes each; also filled when the only fault is
  // a layout longer than the tool writes (more than MAX_IMAGE_SECTORS).
  std::uint32_t totalSectors = 0;
  std::uint64_t cueBytes = 0;      // size of the cue sheet written beside it
  std::vector<NameChange> nameChanges;  // depth first, in record order
};

// The image tree and its sector plan, as a run builds them.
struct PlannedImage {
  ImageNode root;
  ImagePlan plan;
};

// Looks the inputs up through `lookUp`, names, sorts and lays out.
Status PlanImageTree(const ToolOptions& options, const InputLookUp& lookUp, PlannedImage& planned);

// Every name of the image that differs from its name on disk.
std::vector<NameChange> NameChanges(const ToolOptions& options, const ImageNode& root);

// The whole summary. A layout too long for the tool fails with the run's
// message and still gives its sectors. `args` are the tool's arguments as the program renders
// them from its entries (a usage error comes back as ExitCode::Usage).
Status PlanImage(const ToolOptions& options, const InputLookUp& lookUp, ImageSummary& summary);
Status PlanImageFromArguments(const std::vector<std::string>& args, const InputLookUp& lookUp, ImageSummary& summary);

// "Renamed /src/a.txt to A.TXT in VIDEO: ISO level 1 name": the line the tool
// prints for a change (a clash reads as in a real run).
std::string NameChangeLine(const NameChange& change, IsoLevel level);

// The last line of a run: "Image TARGET.bin written: N sectors".
std::string ImageWrittenLine(const std::string& binPath, std::uint32_t sectors);
