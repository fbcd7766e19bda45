#include "tool/SectorSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

using namespace sector;

namespace {

Status writeAll(int fd, const std::uint8_t* p, std::size_t left, const std::string& path) {
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return outputError("Cannot write " + path + ": " + std::strerror(n < 0 ? errno : ENOSPC));
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return std::nullopt;
}

}  // namespace

SectorSink::SectorSink(int fd, std::string path, std::uint32_t plannedSectors,
                       ProgressReport* progress)
    : fd_(fd), path_(std::move(path)), planned_(plannedSectors), progress_(progress),
      buffers_{std::vector<std::uint8_t>(kSectorsPerWrite * kSectorSize),
               std::vector<std::uint8_t>(kSectorsPerWrite * kSectorSize)} {}

SectorSink::~SectorSink() {
  if (write_.valid()) write_.wait();
}

Status SectorSink::reserve(std::uint8_t*& slot) {
  if (position() >= planned_)
    return outputError("Cannot write " + path_ + ": internal error, more sectors than planned (" +
                       std::to_string(planned_) + ")");
  if (buffered_ == kSectorsPerWrite)
    if (Status s = handOver()) return s;
  slot = buffers_[filling_].data() + buffered_ * kSectorSize;
  return std::nullopt;
}

// Copies the user data into the next slot, zero-fills the rest of the form's
// user area and encodes the sector in place.
Status SectorSink::put(std::span<const std::uint8_t> data, Subheader subheader,
                       std::size_t userSize, void (*encode)(SectorSpan, std::uint32_t, Subheader)) {
  std::uint8_t* slot = nullptr;
  if (Status s = reserve(slot)) return s;
  std::uint8_t* user = slot + kUserDataOffset;
  if (!data.empty()) std::memcpy(user, data.data(), data.size());
  std::memset(user + data.size(), 0, userSize - data.size());
  encode(SectorSpan(slot, kSectorSize), position(), subheader);
  ++buffered_;
  return std::nullopt;
}

Status SectorSink::putForm1(std::span<const std::uint8_t> data, Subheader subheader) {
  return put(data, subheader, kForm1DataSize, [](SectorSpan s, std::uint32_t l, Subheader h) { encodeForm1(s, l, h); });
}

Status SectorSink::putForm2(std::span<const std::uint8_t> data, Subheader subheader) {
  return put(data, subheader, kForm2DataSize, [](SectorSpan s, std::uint32_t l, Subheader h) { encodeForm2(s, l, h); });
}

// Waits for the write under way, if any, and reports its sectors as done.
Status SectorSink::awaitWrite() {
  if (!write_.valid()) return std::nullopt;
  if (Status s = write_.get()) return s;
  written_ += inFlight_;
  inFlight_ = 0;
  if (progress_) progress_->update(written_);
  return std::nullopt;
}

// Starts writing the filled buffer in the background and switches to the other.
Status SectorSink::handOver() {
  if (Status s = awaitWrite()) return s;
  if (buffered_ == 0) return std::nullopt;
  const std::uint8_t* data = buffers_[filling_].data();
  const std::size_t bytes = buffered_ * kSectorSize;
  auto job = [this, data, bytes] { return writeAll(fd_, data, bytes, path_); };
  try {
    write_ = std::async(std::launch::async, job);
  } catch (const std::system_error&) {  // no thread to be had: write it here
    std::promise<Status> done;
    done.set_value(job());
    write_ = done.get_future();
  }
  inFlight_ = static_cast<std::uint32_t>(buffered_);
  handedOver_ += inFlight_;
  buffered_ = 0;
  filling_ = 1 - filling_;
  return std::nullopt;
}

Status SectorSink::finish() {
  if (Status s = handOver()) return s;
  if (Status s = awaitWrite()) return s;
  if (written_ != planned_)
    return outputError("Cannot write " + path_ + ": internal error, " + std::to_string(written_) +
                       " sectors written, " + std::to_string(planned_) + " planned");
  return std::nullopt;
}
