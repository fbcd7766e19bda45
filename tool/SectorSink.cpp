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
    : m_fd(fd), m_path(std::move(path)), m_planned(plannedSectors),
      m_batchSectors(plannedSectors <= MOST_SECTORS_WITHOUT_THREADS ? SECTORS_PER_WRITE_WITHOUT_THREADS
                                                                    : SECTORS_PER_WRITE),
      m_progress(progress),
      m_pipeline(std::make_unique<SectorPipeline>(BUFFERS, m_batchSectors,
                                                 plannedSectors <= MOST_SECTORS_WITHOUT_THREADS
                                                     ? 0
                                                     : SectorPipeline::DefaultWorkers(),
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
  m_written += static_cast<std::uint32_t>(batch.sectors);
  PushToDisk();
  if (m_progress) m_progress->Update(m_written);
  return std::nullopt;
}

// Starts the disk writing what was written since the last push, once that is
// SECTORS_PER_PUSH, and waits until what was pushed SECTORS_IN_FLIGHT before
// is there. Only a hint to the file system: where it is not supported nothing
// changes, and whatever fails shows in the final sync.
void SectorSink::PushToDisk() {
  if (m_written - m_pushed < SECTORS_PER_PUSH) return;
  const auto bytes = [](std::uint32_t sector) { return static_cast<off_t>(sector) * static_cast<off_t>(SECTOR_SIZE); };
  ::sync_file_range(m_fd, bytes(m_pushed), bytes(m_written - m_pushed), SYNC_FILE_RANGE_WRITE);
  m_pushed = m_written;
  if (m_pushed - m_settled <= SECTORS_IN_FLIGHT) return;
  const std::uint32_t settle = m_pushed - SECTORS_IN_FLIGHT;
  ::sync_file_range(m_fd, bytes(m_settled), bytes(settle - m_settled),
                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  m_settled = settle;
}

Status SectorSink::FreeSlots(std::size_t wanted, Slots& slots) {
  if (m_position >= m_planned)
    return OutputError("Cannot write " + m_path + ": internal error, more sectors than planned (" +
                       std::to_string(m_planned) + ")");
  if (m_filling && m_filling->sectors == m_batchSectors)
    if (Status s = HandOver()) return s;
  if (!m_filling) {
    m_filling = &m_pipeline->Acquire();
    m_filling->firstSector = m_position;
  }
  const std::size_t room = std::min<std::size_t>(m_batchSectors - m_filling->sectors, m_planned - m_position);
  slots.first = m_filling->bytes.data() + m_filling->sectors * SECTOR_SIZE;
  slots.count = std::max<std::size_t>(1, std::min(wanted, room));
  return std::nullopt;
}

Subheader SectorSink::WithForm(Subheader subheader, Form form) {
  subheader.submode = static_cast<std::uint8_t>(form == Form::Two ? subheader.submode | SUBMODE_FORM2
                                                                  : subheader.submode & ~SUBMODE_FORM2);
  return subheader;
}

void SectorSink::Commit(std::size_t dataBytes, Form form, Subheader subheader) {
  std::uint8_t* slot = m_filling->bytes.data() + m_filling->sectors * SECTOR_SIZE;
  const std::size_t userSize = form == Form::Two ? FORM2_DATA_SIZE : FORM1_DATA_SIZE;
  std::memset(slot + USER_DATA_OFFSET + dataBytes, 0, userSize - dataBytes);
  subheader = WithForm(subheader, form);
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode, subheader.coding};
  std::memcpy(slot + SUBHEADER_OFFSET, sh, sizeof sh);
  m_filling->encoded[m_filling->sectors] = false;
  ++m_filling->sectors;
  ++m_position;
}

// Mode 2 leaves the header out of both the EDC and the ECC, so empty sectors
// of one kind differ only in their address: one is encoded, the rest are
// copies of it with their own address.
const SectorSink::EmptySector& SectorSink::EmptySectorFor(Form form, Subheader subheader) {
  subheader = WithForm(subheader, form);
  const std::uint8_t sh[4] = {subheader.fileNumber, subheader.channel, subheader.submode, subheader.coding};
  for (const EmptySector& made : m_emptySectors)
    if (made.form == form && std::memcmp(made.subheader, sh, sizeof sh) == 0) return made;
  EmptySector& made = m_emptySectors.emplace_back();
  made.form = form;
  std::memcpy(made.subheader, sh, sizeof sh);
  made.bytes.fill(0);
  std::memcpy(made.bytes.data() + SUBHEADER_OFFSET, sh, sizeof sh);
  EncodeSector(made.bytes, 0);
  return made;
}

Status SectorSink::PutEmpty(std::uint32_t count, Form form, Subheader subheader) {
  if (count == 0) return std::nullopt;
  const EmptySector& model = EmptySectorFor(form, subheader);
  for (std::uint32_t done = 0; done < count;) {
    Slots slots;
    if (Status s = FreeSlots(count - done, slots)) return s;
    for (std::size_t i = 0; i < slots.count; ++i) {
      std::uint8_t* slot = slots.first + i * SECTOR_SIZE;
      std::memcpy(slot, model.bytes.data(), SECTOR_SIZE);
      WriteAddress(slot + HEADER_OFFSET, m_position);
      m_filling->encoded[m_filling->sectors] = true;
      ++m_filling->sectors;
      ++m_position;
    }
    done += static_cast<std::uint32_t>(slots.count);
  }
  return std::nullopt;
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
