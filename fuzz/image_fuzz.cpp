// libFuzzer target for the image reader: any bytes, read as a disc image
// (raw 2352-byte sectors or 2048-byte blocks, told apart by content) and as a
// cue sheet, must give a file system or a reason without a crash, a hang or
// a read outside the image, and what the reader gives must hold together.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tool/ImageSource.h"
#include "tool/IsoReader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Every entry that is taken lies inside the image, has a name that stays in
// its folder, and sits in the list of the folder that holds it.
void CheckVolume(const ImageSource& image, const IsoVolume& volume) {
  Check(!volume.entries.empty() && volume.entries.size() <= MAX_IMAGE_ENTRIES + 1);
  for (std::size_t i = 1; i < volume.entries.size(); ++i) {
    const IsoEntry& e = volume.entries[i];
    Check(e.parent < i && volume.entries[e.parent].isFolder);
    if (!e.leftOut.empty()) continue;
    Check(std::uint64_t{e.extent} + e.Sectors() <= image.SectorCount());
    Check(!e.name.empty() && e.name != "." && e.name != ".." && e.name.find('/') == std::string::npos &&
          e.name.find('\0') == std::string::npos);
    EntryPath(volume, i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CueSheetContents cue;
  ParseCueSheet(std::string_view(reinterpret_cast<const char*>(data), size), cue);

  const int fd = memfd_create("image", MFD_CLOEXEC);
  if (fd < 0) return 0;
  for (std::size_t at = 0; at < size;) {
    const ssize_t n = write(fd, data + at, size - at);
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  ImageSource image;
  if (!image.Open("/proc/self/fd/" + std::to_string(fd))) {
    IsoVolume volume;
    if (!ReadIsoVolume(image, volume)) {
      CheckVolume(image, volume);
      CheckPathTables(image, volume);
    }
  }
  close(fd);
  return 0;
}
