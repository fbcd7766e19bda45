#include "tool/SectorSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/PosixFile.h"

using namespace sector;

namespace {

Status WriteOrFail(int fd, const std::uint8_t* p, std::size_t left, const std::string& path) {
  if (const int error = WriteAll(fd, p, left)) {
    return OutputError("Cannot write " + path + ": " + std::strerror(error));
  }
  return std::nullopt;
}

}  // namespace

SectorSink::SectorSink(int fd, std::string path, std::uint32_t plannedSectors, ProgressReport* progress)
    : fd_(fd), path_(std::move(path)), planned_(plannedSectors), progress_(progress),
      pipeline_(std::make_unique<SectorPipeline>(kBuffers, kSectorsPerWrite, SectorPipeline::DefaultWorkers(),
                                                 [this](const SectorPipeline::Batch& b) { return WriteBatch(b); })) {}

SectorSink::~SectorSink() {
  if (filling_) {  // never handed over (an error came first): give it back unwritten
    filling_->sectors = 0;
    pipeline_->Submit(*filling_);
  }
  pipeline_.reset();
}

// On the writer thread.
Status SectorSink::WriteBatch(const SectorPipeline::Batch& batch) {
  if (batch.sectors == 0) return std::nullopt;
  if (Status s = WriteOrFail(fd_, batch.bytes.data(), batch.sectors * kSectorSize, path_)) return s;
  written_ += static_cast<std::uint32_t>(batch.sectors);
  if (progress_) progress_->Update(written_);
  return std::nullopt;
}

Status SectorSink::FreeSlots(std::size_t wanted, Slots& slots) {
  if (position_ >= planned_)
    return OutputError("Cannot write " + path_ + ": internal error, more sectors than planned (" +
                       std::to_string(planned_) + ")");
  if (filling_ && filling_->sectors == kSectorsPerWrite)
    if (Status s = HandOver()) return s;
  if (!filling_) {
    filling_ = &pipeline_->Acquire();
    filling_->firstSector = position_;
  }
  const std::size_t room = std::min<std::size_t>(kSectorsPerWrite - filling_->sectors, planned_ - position_);
  slots.first = filling_->bytes.data() + filling_->sectors * kSectorSize;
  slots.count = std::max<std::size_t>(1, std::min(wanted, room));
  return std::nullopt;
}

void SectorSink::Commit(std::size_t dataBytes, Form form, Subheader subheader) {
  std::uint8_t* slot = filling_->bytes.data() + filling_->sectors * kSectorSize;
  const std::size_t userSize = form == Form::Two ? kForm2DataSize : kForm1DataSize;
  std::memset(slot + kUserDataOffset + dataBytes, 0, userSize - dataBytes);
  subheader.submode = static_cast<std::uint8_t>(form == Form::Two ? subheader.submode | kSubmodeForm2
                                                                  : subheader.submode & ~kSubmodeForm2);
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode, subheader.coding};
  std::memcpy(slot + kSubheaderOffset, sh, sizeof sh);
  ++filling_->sectors;
  ++position_;
}

Status SectorSink::Put(std::span<const std::uint8_t> data, Form form, Subheader subheader) {
  Slots slots;
  if (Status s = FreeSlots(1, slots)) return s;
  if (!data.empty()) std::memcpy(slots.UserData(0), data.data(), data.size());
  Commit(data.size(), form, subheader);
  return std::nullopt;
}

Status SectorSink::PutForm1(std::span<const std::uint8_t> data, Subheader subheader) {
  return Put(data, Form::One, subheader);
}

Status SectorSink::PutForm2(std::span<const std::uint8_t> data, Subheader subheader) {
  return Put(data, Form::Two, subheader);
}

// Hands the filled batch to the pipeline; reports a write that failed meanwhile.
Status SectorSink::HandOver() {
  if (filling_) {
    pipeline_->Submit(*filling_);
    filling_ = nullptr;
  }
  return pipeline_->Error();
}

Status SectorSink::Finish() {
  if (Status s = HandOver()) return s;
  pipeline_->Drain();
  if (Status s = pipeline_->Error()) return s;
  if (written_ != planned_)
    return OutputError("Cannot write " + path_ + ": internal error, " + std::to_string(written_) +
                       " sectors written, " + std::to_string(planned_) + " planned");
  return std::nullopt;
}
