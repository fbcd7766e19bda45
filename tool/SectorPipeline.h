// Encodes and writes batches of sectors off the reading thread: a fixed pool
// of worker threads encodes the pieces of each batch handed over (sectors do
// not depend on each other), and one writer thread writes the batches in the
// order they were handed over. A fixed number of batch buffers circulates
// (free -> filled -> encoded -> written -> free), so memory stays bounded
// whatever the image size and the reader waits when it is ahead.
//
// With no workers, or should no thread start, the same work is done inline on
// the caller's thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "tool/SectorCode.h"
#include "tool/ToolError.h"

class SectorPipeline {
 public:
  struct Batch {
    // Room for sectorsPerBatch sectors. It starts out unset: filling a sector
    // puts its whole user data (zeros past the data) and subheader in place,
    // and encoding writes every other byte, so nothing needs zeroing first
    // (a sector put in whole, as `encoded` marks, is left as it is).
    std::span<std::uint8_t> bytes;
    std::unique_ptr<std::uint8_t[]> storage;  // what bytes views
    bool mapped = false;                      // its pages are in place
    std::vector<bool> encoded;        // by sector: put in whole, not to be encoded again
    std::uint32_t firstSector = 0;    // the address of its first sector
    std::size_t sectors = 0;          // filled: user data and subheader in place
    std::size_t piecesLeft = 0;       // pieces still to encode
  };
  // Called on the writer thread for every encoded batch, in hand-over order.
  using WriteBatch = std::function<Status(const Batch&)>;

  // Workers: BRENVOX_ENCODE_THREADS when set (1..64), else one per processor.
  static int DefaultWorkers();

  // With no workers, no thread is started: Submit encodes and writes itself.
  SectorPipeline(std::size_t buffers, std::size_t sectorsPerBatch, int workers, WriteBatch write);
  ~SectorPipeline();  // finishes what was handed over, then stops the threads
  SectorPipeline(const SectorPipeline&) = delete;
  SectorPipeline& operator=(const SectorPipeline&) = delete;

  // A free batch to fill, waiting for one if all are in use.
  Batch& Acquire();
  // Hands a filled batch over to be encoded and written.
  void Submit(Batch& batch);
  // Waits until every batch handed over is written (or dropped after an error).
  void Drain();
  // The first error of a write; the batches after it are dropped unwritten.
  Status Error();

 private:
  struct Piece {
    Batch* batch;
    std::size_t first, count;
  };
  static void MapPages(Batch& batch);
  void EncodePiece(const Piece& piece) const;
  void WorkerLoop();
  void WriterLoop();
  void WriteOne(Batch& batch);  // writes (unless an error came first), then frees

  const std::size_t m_sectorsPerBatch;
  const sector::CodePath& m_path;
  WriteBatch m_write;
  std::vector<Batch> m_batches;

  std::mutex m_mutex;
  // Each waiter has its own signal, so that a change wakes only the thread
  // that waits for it (a wake-up for nothing costs two switches).
  std::condition_variable m_piecesQueued;  // workers: pieces to encode, or stopping
  std::condition_variable m_batchEncoded;  // the writer: a batch ready, or stopping
  std::condition_variable m_batchFreed;    // the caller: a batch free, or all written
  std::deque<Batch*> m_free;            // the last freed at the back
  std::deque<Piece> m_pieces;           // to encode
  std::deque<Batch*> m_toWrite;         // handed over, oldest first
  std::size_t m_busy = 0;               // batches handed over and not yet written
  Status m_error;
  bool m_stopping = false;
  std::vector<std::thread> m_workers;
  std::thread m_writer;
};
