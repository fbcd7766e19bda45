// The one way sectors reach the image file. The caller puts each sector's user
// data and subheader into the next slot of a large batch (copying it, or
// reading a file straight into the slots); full batches go to a pipeline whose
// workers encode them and whose writer writes them in order. The sink counts
// the sectors, refuses to go past the planned total and checks at the end that
// exactly the planned number was written.
// Progress is reported after each write has completed, so it never runs ahead
// of the file's size.
// The image is on the disk when Finish returns. That is paid for while the
// image is written: what is written is handed to the disk every few megabytes,
// and the writer waits for what it handed over some pushes before, so that the
// final sync finds only the last few megabytes to do.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tool/Progress.h"
#include "tool/SectorCode.h"
#include "tool/SectorPipeline.h"
#include "tool/ToolError.h"

class SectorSink {
 public:
  // 600 KB per write: large enough that a write and its hand-over between
  // threads cost next to nothing per byte, small enough that the buffers
  // below (2.4 MB in all) are few pages: the first use of a page is what a
  // fresh buffer costs, and on a virtual machine that is dear. With 1.2 MB
  // per write a run of many small files took a tenth more CPU time; with
  // 300 KB a large image took more.
  static constexpr std::size_t SECTORS_PER_WRITE = 256;
  // Batch buffers in circulation: with them, at most 2.4 MB of sectors are
  // held, and a reader is at most four writes ahead of the file.
  static constexpr std::size_t BUFFERS = 4;
  // Sectors written are handed to the disk this many at a time (4.8 MB):
  // each hand-over costs the system a signal to the device, which per write
  // would cost more than the write.
  static constexpr std::uint32_t SECTORS_PER_PUSH = 2048;
  // Sectors handed to the disk but perhaps not yet on it: the writer waits
  // for older ones before it goes on (about 19 MB in flight).
  static constexpr std::uint32_t SECTORS_IN_FLIGHT = 4 * SECTORS_PER_PUSH;

  // An image of at most this many sectors (2.4 MB) is encoded and written on
  // the caller's thread: starting threads would cost more than they save.
  // Each batch is written before the next is filled, so one buffer of 75 KB
  // serves (a few more writes cost less than the first use of more pages).
  static constexpr std::uint32_t MOST_SECTORS_WITHOUT_THREADS = 1024;
  static constexpr std::size_t SECTORS_PER_WRITE_WITHOUT_THREADS = 32;

  enum class Form { One, Two };

  // Consecutive free slots of the batch being filled, SECTOR_SIZE apart
  // (at most SECTORS_PER_WRITE).
  struct Slots {
    std::uint8_t* first = nullptr;
    std::size_t count = 0;
    std::uint8_t* UserData(std::size_t i) const { return first + i * sector::SECTOR_SIZE + sector::USER_DATA_OFFSET; }
  };

  SectorSink(int fd, std::string path, std::uint32_t plannedSectors, ProgressReport* progress);
  ~SectorSink();  // waits for the writes still under way
  SectorSink(const SectorSink&) = delete;
  SectorSink& operator=(const SectorSink&) = delete;

  // The address the next sector gets.
  std::uint32_t Position() const { return m_position; }

  // Appends one sector with `data` (at most 2048 / 2324 bytes, zero-filled to
  // the full user-data size).
  Status PutForm1(std::span<const std::uint8_t> data, sector::Subheader subheader);
  Status PutForm2(std::span<const std::uint8_t> data, sector::Subheader subheader);
  // Appends `count` sectors of `form` with no data (all zeros) and `subheader`.
  Status PutEmpty(std::uint32_t count, Form form, sector::Subheader subheader);

  // Between 1 and `wanted` free slots for the caller to put user data into,
  // then commit one by one, in order.
  Status FreeSlots(std::size_t wanted, Slots& slots);
  // Appends the next free slot as a sector of `form`: its first `dataBytes`
  // of user data are in place, the rest is zero-filled here.
  void Commit(std::size_t dataBytes, Form form, sector::Subheader subheader);

  // Writes what is buffered, waits for every write, checks the total against
  // the plan and makes the image's data durable.
  Status Finish();

 private:
  // An empty sector of `form` with `subheader`, encoded at address 0.
  struct EmptySector {
    Form form;
    std::uint8_t subheader[4];
    std::array<std::uint8_t, sector::SECTOR_SIZE> bytes;
  };
  const EmptySector& EmptySectorFor(Form form, sector::Subheader subheader);
  static sector::Subheader WithForm(sector::Subheader subheader, Form form);
  Status Put(std::span<const std::uint8_t> data, Form form, sector::Subheader subheader);
  Status HandOver();
  Status WriteBatch(const SectorPipeline::Batch& batch);
  void PushToDisk();

  int m_fd;
  std::string m_path;
  std::uint32_t m_planned;
  std::size_t m_batchSectors;                   // sectors per write
  ProgressReport* m_progress;
  std::uint32_t m_position = 0;                 // sectors committed
  std::uint32_t m_written = 0;                  // sectors written (writer thread, then after drain)
  std::uint32_t m_pushed = 0;                   // of them, handed to the disk (writer thread)
  std::uint32_t m_settled = 0;                  // of them, waited for (writer thread)
  SectorPipeline::Batch* m_filling = nullptr;   // the batch being filled
  std::vector<EmptySector> m_emptySectors;      // one of each kind asked for
  std::unique_ptr<SectorPipeline> m_pipeline;   // declared last: stopped before the rest goes
};
