#include "tool/ImageOutputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

Status CheckOutputIsFile(const std::string& output) {
  struct stat st {};
  if (stat(output.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return std::nullopt;
  return OutputError("Cannot write " + output + ": it is not a regular file");
}

Status CheckOutputIsNoInput(const std::string& output, const ImageNode& root) {
  struct stat st {};
  if (stat(output.c_str(), &st) != 0) return std::nullopt;
  Status clash;
  ForEachFile(root, [&](const ImageNode& f) {
    if (!clash && f.device == static_cast<std::uint64_t>(st.st_dev) && f.inode == static_cast<std::uint64_t>(st.st_ino))
      clash = OutputError("Cannot write " + output + ": it is the input file " + f.sourcePath);
  });
  return clash;
}

}  // namespace

ImageOutputs OutputsOf(const std::string& target) { return {target + ".bin", target + ".cue"}; }

Status CheckImageOutputs(const ImageOutputs& outputs, const ImageNode& root) {
  for (const std::string* output : {&outputs.bin, &outputs.cue})
    if (Status s = CheckOutputIsNoInput(*output, root)) return s;
  for (const std::string* output : {&outputs.bin, &outputs.cue})
    if (Status s = CheckOutputIsFile(*output)) return s;
  return std::nullopt;
}

Status OpenImageReplacingCue(const ImageOutputs& outputs, ImageFile& image) {
  if (Status s = image.Open(outputs.bin)) return s;
  if (::unlink(outputs.cue.c_str()) != 0 && errno != ENOENT)
    return OutputError("Cannot remove the old " + outputs.cue + ": " + std::strerror(errno));
  return image.Empty();
}
