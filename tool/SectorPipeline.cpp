#include "tool/SectorPipeline.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

namespace {

// Sectors a worker encodes at a time: enough to make a hand-over cheap, few
// enough that every worker gets some of each batch.
constexpr std::size_t SECTORS_PER_PIECE = 64;
constexpr int MAX_WORKERS = 64;

}  // namespace

int SectorPipeline::DefaultWorkers() {
  if (const char* wanted = std::getenv("BRENVOX_ENCODE_THREADS"); wanted && *wanted) {
    char* end = nullptr;
    const long n = std::strtol(wanted, &end, 10);
    if (*end == '\0' && n >= 1 && n <= MAX_WORKERS) return static_cast<int>(n);
  }
  const unsigned processors = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(processors, 1u, static_cast<unsigned>(MAX_WORKERS)));
}

SectorPipeline::SectorPipeline(std::size_t buffers, std::size_t sectorsPerBatch, int workers, WriteBatch write)
    : m_sectorsPerBatch(sectorsPerBatch), m_path(sector::ActiveCodePath()), m_write(std::move(write)),
      m_batches(buffers) {
  for (Batch& b : m_batches) {
    b.storage = std::make_unique_for_overwrite<std::uint8_t[]>(sectorsPerBatch * sector::SECTOR_SIZE);
    b.bytes = {b.storage.get(), sectorsPerBatch * sector::SECTOR_SIZE};
    b.encoded.assign(sectorsPerBatch, false);
    m_free.push_back(&b);
  }
  if (workers <= 0) return;  // all inline
  try {
    m_writer = std::thread([this] { WriterLoop(); });
    for (int i = 0; i < workers; ++i) m_workers.emplace_back([this] { WorkerLoop(); });
  } catch (const std::system_error&) {
    // Run with the threads that started: with none, submit does the work itself.
  }
}

SectorPipeline::~SectorPipeline() {
  Drain();
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_piecesQueued.notify_all();
  m_batchEncoded.notify_all();
  for (std::thread& t : m_workers) t.join();
  if (m_writer.joinable()) m_writer.join();
}

SectorPipeline::Batch& SectorPipeline::Acquire() {
  std::unique_lock lock(m_mutex);
  m_batchFreed.wait(lock, [this] { return !m_free.empty(); });
  // The batch freed last: its pages are the likeliest to be in place and in
  // the caches, and a pipeline that keeps up never touches the others.
  Batch* b = m_free.back();
  m_free.pop_back();
  lock.unlock();
  b->sectors = 0;
  if (!b->mapped) MapPages(*b);
  return *b;
}

// Puts all pages of a batch in place at its first use, in one call: cheaper
// than a fault on each page as it is first filled. Where the system cannot,
// the pages come one by one as before.
void SectorPipeline::MapPages(Batch& batch) {
  batch.mapped = true;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(batch.bytes.data());
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t end = (begin + batch.bytes.size()) / page * page;
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

void SectorPipeline::EncodePiece(const Piece& piece) const {
  std::uint8_t* bytes = piece.batch->bytes.data();
  for (std::size_t i = piece.first; i < piece.first + piece.count; ++i)
    if (!piece.batch->encoded[i])
      sector::EncodeSector(sector::SectorSpan(bytes + i * sector::SECTOR_SIZE, sector::SECTOR_SIZE),
                           piece.batch->firstSector + static_cast<std::uint32_t>(i), m_path);
}

void SectorPipeline::Submit(Batch& batch) {
  std::size_t pieces = (batch.sectors + SECTORS_PER_PIECE - 1) / SECTORS_PER_PIECE;
  if (m_workers.empty()) {
    EncodePiece({&batch, 0, batch.sectors});
    pieces = 0;
  }
  {
    std::lock_guard lock(m_mutex);
    batch.piecesLeft = pieces;
    for (std::size_t p = 0; p < batch.piecesLeft; ++p) {
      const std::size_t first = p * SECTORS_PER_PIECE;
      m_pieces.push_back({&batch, first, std::min(SECTORS_PER_PIECE, batch.sectors - first)});
    }
    ++m_busy;
    if (m_writer.joinable()) m_toWrite.push_back(&batch);
  }
  if (pieces == 1) m_piecesQueued.notify_one();
  else if (pieces > 1) m_piecesQueued.notify_all();
  else m_batchEncoded.notify_one();  // nothing to encode: ready to write
  if (!m_writer.joinable()) WriteOne(batch);
}

void SectorPipeline::Drain() {
  std::unique_lock lock(m_mutex);
  m_batchFreed.wait(lock, [this] { return m_busy == 0; });
}

Status SectorPipeline::Error() {
  std::lock_guard lock(m_mutex);
  return m_error;
}

void SectorPipeline::WorkerLoop() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_piecesQueued.wait(lock, [this] { return m_stopping || !m_pieces.empty(); });
    if (m_pieces.empty()) return;
    const Piece piece = m_pieces.front();
    m_pieces.pop_front();
    lock.unlock();
    EncodePiece(piece);
    lock.lock();
    if (--piece.batch->piecesLeft == 0) m_batchEncoded.notify_one();
  }
}

void SectorPipeline::WriterLoop() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_batchEncoded.wait(lock, [this] { return (m_stopping && m_toWrite.empty()) ||
                                             (!m_toWrite.empty() && m_toWrite.front()->piecesLeft == 0); });
    if (m_toWrite.empty()) return;
    Batch* b = m_toWrite.front();
    m_toWrite.pop_front();
    lock.unlock();
    WriteOne(*b);
    lock.lock();
  }
}

void SectorPipeline::WriteOne(Batch& batch) {
  bool failed;
  {
    std::lock_guard lock(m_mutex);
    failed = m_error.has_value();
  }
  Status s = failed ? std::nullopt : m_write(batch);
  {
    std::lock_guard lock(m_mutex);
    if (s && !m_error) m_error = std::move(s);
    m_free.push_back(&batch);
    --m_busy;
  }
  m_batchFreed.notify_all();
}
