// Whether the target folder's file system has room for the image and its cue
// sheet before a run starts. The free space comes from a source that tests
// replace; the program asks the file system (statvfs).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Bytes an unprivileged writer may still use in the file system holding
// folder; nothing when it cannot be told.
std::optional<std::uint64_t> FreeBytesIn(const std::string& folder);

using FreeSpaceSource = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

// The folder the image goes into: the target's folder ("." for a bare name,
// "/" for a name at the root).
std::string TargetFolder(const std::string& imageTarget);

// What writing an image of imageBytes (with its cue sheet) to imageTarget
// takes from the file system: an old image and cue sheet of the same name are
// replaced, so their room comes back.
std::uint64_t BytesTheImageStillNeeds(std::uint64_t imageBytes, const std::string& imageTarget);

// "The image needs 712 MB, but the target folder has 300 MB free.\nWrite
// anyway?" when `needBytes` do not fit into `freeBytes`; nothing when they do
// or the free space is not known. The need is rounded up, the free space
// down, so a shortage never reads as equal numbers.
std::optional<std::string> FreeSpaceQuestion(std::uint64_t needBytes, std::optional<std::uint64_t> freeBytes);
