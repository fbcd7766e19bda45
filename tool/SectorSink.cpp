#include "tool/SectorSink.h"

#include <fcntl.h>
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
    : m_fd(fd), m_path(std::move(path)), m_planned(plannedSectors), m_progress(progress),
      m_pipeline(std::make_unique<SectorPipeline>(BUFFERS, SECTORS_PER_WRITE, SectorPipeline::DefaultWorkers(),
                                                 [this](const SectorPipeline::Batch& b) { return WriteBatch(b); })) {}

SectorSink::~SectorSink() {
  if (m_filling) {  // never handed over (an error came first): give it back unwritten
    m_filling->sectors = 0;
    m_pipeline->Submit(*m_filling);
  }
  m_pipeline.reset();
}

// On the writer thread.
Status SectorSink::WriteBatch(const SectorPipeline::Batch& batch) {
  if (batch.sectors == 0) return std::nullopt;
  if (Status s = WriteOrFail(m_fd, batch.bytes.data(), batch.sectors * SECTOR_SIZE, m_path)) return s;
  PushToDisk(m_written, static_cast<std::uint32_t>(batch.sectors));
  m_written += static_cast<std::uint32_t>(batch.sectors);
  if (m_progress) m_progress->Update(m_written);
  return std::nullopt;
}

// Starts the disk writing the sectors just written, and waits until those of
// BATCHES_IN_FLIGHT batches before are there. Only a hint to the file system:
// where it is not supported nothing changes, and whatever fails shows in the
// final sync.
void SectorSink::PushToDisk(std::uint32_t firstSector, std::uint32_t sectors) {
  const auto bytes = [](std::uint32_t sector) { return static_cast<off_t>(sector) * static_cast<off_t>(SECTOR_SIZE); };
  ::sync_file_range(m_fd, bytes(firstSector), bytes(sectors), SYNC_FILE_RANGE_WRITE);
  const std::uint32_t behind = BATCHES_IN_FLIGHT * static_cast<std::uint32_t>(SECTORS_PER_WRITE);
  if (firstSector < behind) return;
  ::sync_file_range(m_fd, bytes(firstSector - behind), bytes(static_cast<std::uint32_t>(SECTORS_PER_WRITE)),
                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
}

Status SectorSink::FreeSlots(std::size_t wanted, Slots& slots) {
  if (m_position >= m_planned)
    return OutputError("Cannot write " + m_path + ": internal error, more sectors than planned (" +
                       std::to_string(m_planned) + ")");
  if (m_filling && m_filling->sectors == SECTORS_PER_WRITE)
    if (Status s = HandOver()) return s;
  if (!m_filling) {
    m_filling = &m_pipeline->Acquire();
    m_filling->firstSector = m_position;
  }
  const std::size_t room = std::min<std::size_t>(SECTORS_PER_WRITE - m_filling->sectors, m_planned - m_position);
  slots.first = m_filling->bytes.data() + m_filling->sectors * SECTOR_SIZE;
  slots.count = std::max<std::size_t>(1, std::min(wanted, room));
  return std::nullopt;
}

void SectorSink::Commit(std::size_t dataBytes, Form form, Subheader subheader) {
  std::uint8_t* slot = m_filling->bytes.data() + m_filling->sectors * SECTOR_SIZE;
  const std::size_t userSize = form == Form::Two ? FORM2_DATA_SIZE : FORM1_DATA_SIZE;
  std::memset(slot + USER_DATA_OFFSET + dataBytes, 0, userSize - dataBytes);
  subheader.submode = static_cast<std::uint8_t>(form == Form::Two ? subheader.submode | SUBMODE_FORM2
                                                                  : subheader.submode & ~SUBMODE_FORM2);
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode, subheader.coding};
  std::memcpy(slot + SUBHEADER_OFFSET, sh, sizeof sh);
  ++m_filling->sectors;
  ++m_position;
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
  if (m_filling) {
    m_pipeline->Submit(*m_filling);
    m_filling = nullptr;
  }
  return m_pipeline->Error();
}

Status SectorSink::Finish() {
  if (Status s = HandOver()) return s;
  m_pipeline->Drain();
  if (Status s = m_pipeline->Error()) return s;
  if (m_written != m_planned)
    return OutputError("Cannot write " + m_path + ": internal error, " + std::to_string(m_written) +
                       " sectors written, " + std::to_string(m_planned) + " planned");
  if (::fdatasync(m_fd) != 0) return OutputError("Cannot write " + m_path + ": " + std::strerror(errno));
  return std::nullopt;
}
