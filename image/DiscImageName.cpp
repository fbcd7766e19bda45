#include "image/DiscImageName.h"

#include <algorithm>
#include <cctype>

bool IsDiscImageName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ending = path.substr(path.size() - 4);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
  return ending == ".cue" || ending == ".iso" || ending == ".bin";
}

std::string ProposedExtractFolder(const std::string& imagePath) {
  const std::size_t slash = imagePath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = imagePath.rfind('.');
  // A dot that begins the name (".hidden") is no extension.
  if (dot == std::string::npos || dot <= nameStart) return imagePath + "-files";
  return imagePath.substr(0, dot);
}
