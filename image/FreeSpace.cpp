#include "image/FreeSpace.h"

#include <sys/statvfs.h>
#include <algorithm>
#include "common/DiskEntry.h"
#include "common/Translate.h"

std::optional<std::uint64_t> FreeBytesIn(const std::string& folder) {
  struct statvfs fs {};
  if (statvfs(folder.c_str(), &fs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(fs.f_bavail) * static_cast<std::uint64_t>(fs.f_frsize);
}

std::string TargetFolder(const std::string& imageTarget) {
  const std::size_t slash = imageTarget.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return imageTarget.substr(0, slash);
}

std::uint64_t BytesTheImageStillNeeds(std::uint64_t imageBytes, const std::string& imageTarget) {
  for (const char* extension : {".bin", ".cue"}) {
    const std::optional<DiskEntry> old = LookUpPath(imageTarget + extension);
    if (old && old->kind == DiskKind::File) imageBytes -= std::min(imageBytes, old->size);
  }
  return imageBytes;
}

std::optional<std::string> FreeSpaceQuestion(std::uint64_t needBytes, std::optional<std::uint64_t> freeBytes) {
  if (!freeBytes || needBytes <= *freeBytes) return std::nullopt;
  constexpr std::uint64_t MEGABYTE = 1'000'000;
  const std::uint64_t needMb = (needBytes + MEGABYTE - 1) / MEGABYTE;
  const std::uint64_t freeMb = *freeBytes / MEGABYTE;
  return TranslatedFormat("The image needs %llu MB, but the target folder has %llu MB free.\nWrite anyway?",
                          static_cast<unsigned long long>(needMb), static_cast<unsigned long long>(freeMb));
}
