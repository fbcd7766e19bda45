// The one way sectors reach the image file. The sink encodes each sector into
// a large buffer, writes the buffer in one go when it is full, counts the
// sectors, refuses to go past the planned total and checks at the end that
// exactly the planned number was written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tool/Progress.h"
#include "tool/SectorCode.h"
#include "tool/ToolError.h"

class SectorSink {
 public:
  static constexpr std::size_t kSectorsPerWrite = 1024;  // 2.3 MB per write

  SectorSink(int fd, std::string path, std::uint32_t plannedSectors, ProgressReport* progress);

  // The address the next sector gets.
  std::uint32_t position() const { return flushed_ + static_cast<std::uint32_t>(buffered_); }

  // Appends one sector with `data` (at most 2048 / 2324 bytes, zero-filled to
  // the full user-data size).
  Status putForm1(std::span<const std::uint8_t> data, sector::Subheader subheader);
  Status putForm2(std::span<const std::uint8_t> data, sector::Subheader subheader);

  // Writes what is buffered and checks the total against the plan.
  Status finish();

 private:
  Status reserve(std::uint8_t*& slot);
  Status flush();

  int fd_;
  std::string path_;
  std::uint32_t planned_;
  ProgressReport* progress_;
  std::vector<std::uint8_t> buffer_;
  std::size_t buffered_ = 0;
  std::uint32_t flushed_ = 0;
};
