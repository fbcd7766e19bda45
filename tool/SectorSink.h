// The one way sectors reach the image file. The sink encodes each sector into
// a large buffer and hands a full buffer to a background write while it fills
// the other one; it counts the sectors, refuses to go past the planned total
// and checks at the end that exactly the planned number was written.
// Progress is reported only for sectors whose write has completed, so it never
// runs ahead of the file's size.
#pragma once

#include <cstdint>
#include <future>
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
  ~SectorSink();  // waits for a write still under way
  SectorSink(const SectorSink&) = delete;
  SectorSink& operator=(const SectorSink&) = delete;

  // The address the next sector gets.
  std::uint32_t position() const { return handedOver_ + static_cast<std::uint32_t>(buffered_); }

  // Appends one sector with `data` (at most 2048 / 2324 bytes, zero-filled to
  // the full user-data size).
  Status putForm1(std::span<const std::uint8_t> data, sector::Subheader subheader);
  Status putForm2(std::span<const std::uint8_t> data, sector::Subheader subheader);

  // Writes what is buffered, waits for every write and checks the total
  // against the plan.
  Status finish();

 private:
  Status reserve(std::uint8_t*& slot);
  Status put(std::span<const std::uint8_t> data, sector::Subheader subheader,
             std::size_t userSize,
             void (*encode)(sector::SectorSpan, std::uint32_t, sector::Subheader));
  Status handOver();
  Status awaitWrite();

  int fd_;
  std::string path_;
  std::uint32_t planned_;
  ProgressReport* progress_;
  std::vector<std::uint8_t> buffers_[2];
  int filling_ = 0;                 // the buffer being filled
  std::size_t buffered_ = 0;        // sectors in it
  std::uint32_t handedOver_ = 0;    // sectors given to writes
  std::uint32_t written_ = 0;       // sectors whose write completed
  std::uint32_t inFlight_ = 0;      // sectors of the write under way
  std::future<Status> write_;       // declared last: waited for before the buffers go
};
