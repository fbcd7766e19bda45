// The image file opened for writing. An image that is already there is
// replaced by a new, empty file of the same name, owner and permissions,
// rather than emptied: emptying a large file waits while the file system
// frees its blocks, and here the old file's blocks are freed on a thread of
// their own while the new image is written. Where a new file could not stand
// in for the old one in every respect (a symbolic link, which is written
// through; a file with other names; another owner) it is emptied as before.
#pragma once

#include <sys/stat.h>

#include <string>
#include <thread>

#include "common/PosixFile.h"
#include "tool/ToolError.h"

class ImageFile {
 public:
  ImageFile() = default;
  ~ImageFile();  // waits until the old image is let go
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  // Opens path for writing, without waiting on whatever it may be. A path
  // that cannot be opened for writing, or that is not a regular file, is left
  // as it is (exit 3); else nothing is changed yet but a file made where
  // there was none.
  Status Open(const std::string& path);
  // Empties the image opened, or replaces it by a new empty file.
  Status Empty();
  int Fd() const { return m_fd.Get(); }
  // Closes the image; an error of the close is reported.
  Status Close();

 private:
  // A new empty file renamed over the old one; false when it cannot be done.
  bool Replace(const std::string& path, const struct stat& old);
  void LetGo(OwnedFd old);

  std::string m_path;
  OwnedFd m_fd;
  struct stat m_opened {};  // what Open found
  std::thread m_releasing;  // closes the old image's last descriptor
};
