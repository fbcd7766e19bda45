#include "tool/SectorPipeline.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

namespace {

// Sectors a worker encodes at a time: enough to make a hand-over cheap, few
// enough that every worker gets some of each batch.
constexpr std::size_t kSectorsPerPiece = 64;
constexpr int kMaxWorkers = 64;

}  // namespace

int SectorPipeline::DefaultWorkers() {
  if (const char* wanted = std::getenv("BRENVOX_ENCODE_THREADS"); wanted && *wanted) {
    char* end = nullptr;
    const long n = std::strtol(wanted, &end, 10);
    if (*end == '\0' && n >= 1 && n <= kMaxWorkers) return static_cast<int>(n);
  }
  const unsigned processors = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(processors, 1u, static_cast<unsigned>(kMaxWorkers)));
}

SectorPipeline::SectorPipeline(std::size_t buffers, std::size_t sectorsPerBatch, int workers, WriteBatch write)
    : sectorsPerBatch_(sectorsPerBatch), path_(sector::ActiveCodePath()), write_(std::move(write)),
      batches_(buffers) {
  for (Batch& b : batches_) {
    b.bytes.resize(sectorsPerBatch * sector::kSectorSize);
    free_.push_back(&b);
  }
  try {
    writer_ = std::thread([this] { WriterLoop(); });
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { WorkerLoop(); });
  } catch (const std::system_error&) {
    // Run with the threads that started: with none, submit does the work itself.
  }
}

SectorPipeline::~SectorPipeline() {
  Drain();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : workers_) t.join();
  if (writer_.joinable()) writer_.join();
}

SectorPipeline::Batch& SectorPipeline::Acquire() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !free_.empty(); });
  Batch* b = free_.front();
  free_.pop_front();
  b->sectors = 0;
  return *b;
}

void SectorPipeline::EncodePiece(const Piece& piece) const {
  std::uint8_t* bytes = piece.batch->bytes.data();
  for (std::size_t i = piece.first; i < piece.first + piece.count; ++i)
    sector::EncodeSector(sector::SectorSpan(bytes + i * sector::kSectorSize, sector::kSectorSize),
                         piece.batch->firstSector + static_cast<std::uint32_t>(i), path_);
}

void SectorPipeline::Submit(Batch& batch) {
  std::size_t pieces = (batch.sectors + kSectorsPerPiece - 1) / kSectorsPerPiece;
  if (workers_.empty()) {
    EncodePiece({&batch, 0, batch.sectors});
    pieces = 0;
  }
  {
    std::lock_guard lock(mutex_);
    batch.piecesLeft = pieces;
    for (std::size_t p = 0; p < batch.piecesLeft; ++p) {
      const std::size_t first = p * kSectorsPerPiece;
      pieces_.push_back({&batch, first, std::min(kSectorsPerPiece, batch.sectors - first)});
    }
    ++busy_;
    if (writer_.joinable()) toWrite_.push_back(&batch);
  }
  changed_.notify_all();
  if (!writer_.joinable()) WriteOne(batch);
}

void SectorPipeline::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return busy_ == 0; });
}

Status SectorPipeline::Error() {
  std::lock_guard lock(mutex_);
  return error_;
}

void SectorPipeline::WorkerLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !pieces_.empty(); });
    if (pieces_.empty()) return;
    const Piece piece = pieces_.front();
    pieces_.pop_front();
    lock.unlock();
    EncodePiece(piece);
    lock.lock();
    if (--piece.batch->piecesLeft == 0) changed_.notify_all();
  }
}

void SectorPipeline::WriterLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return (stopping_ && toWrite_.empty()) ||
                                        (!toWrite_.empty() && toWrite_.front()->piecesLeft == 0); });
    if (toWrite_.empty()) return;
    Batch* b = toWrite_.front();
    toWrite_.pop_front();
    lock.unlock();
    WriteOne(*b);
    lock.lock();
  }
}

void SectorPipeline::WriteOne(Batch& batch) {
  bool failed;
  {
    std::lock_guard lock(mutex_);
    failed = error_.has_value();
  }
  Status s = failed ? std::nullopt : write_(batch);
  {
    std::lock_guard lock(mutex_);
    if (s && !error_) error_ = std::move(s);
    free_.push_back(&batch);
    --busy_;
  }
  changed_.notify_all();
}
