#include "tool/ImageOutputs.h"

#include <fcntl.h>
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

int OpenImageReplacingCue(const ImageOutputs& outputs, Status& error) {
  const int fd = ::open(outputs.bin.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = OutputError("Cannot write " + outputs.bin + ": " + std::strerror(errno));
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = OutputError("Cannot write " + outputs.bin + ": it is not a regular file");
  } else if (::unlink(outputs.cue.c_str()) != 0 && errno != ENOENT) {
    error = OutputError("Cannot remove the old " + outputs.cue + ": " + std::strerror(errno));
  } else if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0) {
    error = OutputError("Cannot write " + outputs.bin + ": " + std::strerror(errno));
  }
  if (error) {
    ::close(fd);
    return -1;
  }
  return fd;
}
