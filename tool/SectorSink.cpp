#include "tool/SectorSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace sector;

SectorSink::SectorSink(int fd, std::string path, std::uint32_t plannedSectors,
                       ProgressReport* progress)
    : fd_(fd), path_(std::move(path)), planned_(plannedSectors), progress_(progress),
      buffer_(kSectorsPerWrite * kSectorSize) {}

Status SectorSink::reserve(std::uint8_t*& slot) {
  if (position() >= planned_)
    return outputError("Cannot write " + path_ + ": internal error, more sectors than planned (" +
                       std::to_string(planned_) + ")");
  if (buffered_ == kSectorsPerWrite)
    if (Status s = flush()) return s;
  slot = buffer_.data() + buffered_ * kSectorSize;
  return std::nullopt;
}

Status SectorSink::putForm1(std::span<const std::uint8_t> data, Subheader subheader) {
  std::uint8_t* slot = nullptr;
  if (Status s = reserve(slot)) return s;
  std::uint8_t* user = slot + kUserDataOffset;
  if (!data.empty()) std::memcpy(user, data.data(), data.size());
  std::memset(user + data.size(), 0, kForm1DataSize - data.size());
  encodeForm1(SectorSpan(slot, kSectorSize), position(), subheader);
  ++buffered_;
  return std::nullopt;
}

Status SectorSink::putForm2(std::span<const std::uint8_t> data, Subheader subheader) {
  std::uint8_t* slot = nullptr;
  if (Status s = reserve(slot)) return s;
  std::uint8_t* user = slot + kUserDataOffset;
  if (!data.empty()) std::memcpy(user, data.data(), data.size());
  std::memset(user + data.size(), 0, kForm2DataSize - data.size());
  encodeForm2(SectorSpan(slot, kSectorSize), position(), subheader);
  ++buffered_;
  return std::nullopt;
}

Status SectorSink::flush() {
  const std::uint8_t* p = buffer_.data();
  std::size_t left = buffered_ * kSectorSize;
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return outputError("Cannot write " + path_ + ": " + std::strerror(n < 0 ? errno : ENOSPC));
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  flushed_ += static_cast<std::uint32_t>(buffered_);
  buffered_ = 0;
  if (progress_) progress_->update(flushed_);
  return std::nullopt;
}

Status SectorSink::finish() {
  if (Status s = flush()) return s;
  if (flushed_ != planned_)
    return outputError("Cannot write " + path_ + ": internal error, " + std::to_string(flushed_) +
                       " sectors written, " + std::to_string(planned_) + " planned");
  return std::nullopt;
}
