// The two files a run writes, TARGET.bin and TARGET.cue, and the rules for
// replacing an old image: nothing the run was asked to read is ever written
// to, and an old cue sheet goes only once the new image can be written.
#pragma once

#include <string>

#include "tool/ImageFile.h"
#include "tool/ImageTree.h"
#include "tool/ToolError.h"

struct ImageOutputs {
  std::string bin;
  std::string cue;
};

ImageOutputs OutputsOf(const std::string& target);

// The checks a run makes before it changes anything: an output that exists is
// a regular file (a FIFO would block the run, a device or a folder must never
// be written to), and it is none of the inputs in `root`, compared by device
// and inode, whatever path or link names it. The program makes the same
// checks before it asks to replace an image.
Status CheckImageOutputs(const ImageOutputs& outputs, const ImageNode& root);

// Opens the .bin for writing without waiting on whatever it may be and makes
// sure it is a regular file; only then removes the old .cue, which beside a
// partial image would read as a whole disc, and empties (or replaces) the old
// image. A .bin that cannot be opened for writing, or is no regular file,
// leaves both files as they were.
Status OpenImageReplacingCue(const ImageOutputs& outputs, ImageFile& image);
