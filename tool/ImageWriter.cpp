#include "tool/ImageWriter.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

using sector::Subheader;

namespace {

// Subheaders by sector class: file number, channel, submode, coding.
constexpr Subheader DATA_SECTOR = {0, 0, sector::SUBMODE_DATA, 0};
constexpr Subheader DATA_RECORD_END = {0, 0, sector::SUBMODE_DATA | sector::SUBMODE_EOR, 0};
constexpr Subheader DATA_FILE_END = {0, 0, sector::SUBMODE_EOF | sector::SUBMODE_DATA | sector::SUBMODE_EOR, 0};
constexpr Subheader FORM2_DATA = {iso::FORM2_FILE_NUMBER, 0, sector::SUBMODE_FORM2 | sector::SUBMODE_DATA, 0};
constexpr Subheader FORM2_FILE_END = {iso::FORM2_FILE_NUMBER, 0,
                                     sector::SUBMODE_EOF | sector::SUBMODE_FORM2 | sector::SUBMODE_DATA |
                                         sector::SUBMODE_EOR, 0};
constexpr Subheader EMPTY_FORM2 = {0, 0, sector::SUBMODE_FORM2, 0};

constexpr std::size_t SECTORS_PER_READ = 512;
// A read may put one byte past a slot's user data (see PutFile).
static_assert(sector::USER_DATA_OFFSET + sector::FORM2_DATA_SIZE < sector::SECTOR_SIZE &&
              sector::USER_DATA_OFFSET + sector::FORM1_DATA_SIZE < sector::SECTOR_SIZE);

// Writes `bytes` as Form 1 sectors, the last one marked `last`.
Status PutBlocks(SectorSink& sink, const std::vector<std::uint8_t>& bytes, Subheader last) {
  const std::size_t sectors = (bytes.size() + iso::LOGICAL_BLOCK_SIZE - 1) / iso::LOGICAL_BLOCK_SIZE;
  for (std::size_t i = 0; i < sectors; ++i) {
    const std::size_t at = i * iso::LOGICAL_BLOCK_SIZE;
    const std::size_t n = std::min(iso::LOGICAL_BLOCK_SIZE, bytes.size() - at);
    if (Status s = sink.PutForm1({bytes.data() + at, n}, i + 1 == sectors ? last : DATA_SECTOR)) return s;
  }
  return std::nullopt;
}

Status PutEmpty(SectorSink& sink, const SectorRun& run) {
  return run.kind == RunKind::Form1Fill ? sink.PutEmpty(run.sectors, SectorSink::Form::One, DATA_SECTOR)
                                        : sink.PutEmpty(run.sectors, SectorSink::Form::Two, EMPTY_FORM2);
}

// Reads from `offset` until every iovec is full or the file ends; `got`
// counts the bytes. The inputs are regular files, for which a read that gives
// fewer bytes than asked for has met the end of the file: no further read is
// needed to see it.
Status ReadvFully(int fd, std::uint64_t offset, std::vector<iovec>& iov, std::size_t& got) {
  got = 0;
  std::size_t at = 0;  // the first iovec not yet full
  while (at < iov.size()) {
    const std::size_t count = std::min<std::size_t>(iov.size() - at, IOV_MAX);
    const ssize_t n = ::preadv(fd, iov.data() + at, static_cast<int>(count), static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    // The look-up opened it not to wait on a FIFO; a file system that heeds
    // that for a regular file is read with waiting.
    if (n < 0 && errno == EAGAIN && ::fcntl(fd, F_SETFL, 0) == 0) continue;
    if (n < 0) return InputError(std::strerror(errno));
    std::size_t asked = 0;
    for (std::size_t i = at; i < at + count; ++i) asked += iov[i].iov_len;
    got += static_cast<std::size_t>(n);
    if (static_cast<std::size_t>(n) < asked) break;
    at += count;
  }
  return std::nullopt;
}

// Reads `iov` from `offset`, which must give exactly `want` bytes.
Status ReadChecked(int fd, const ImageNode& file, std::uint64_t offset, std::vector<iovec>& iov, std::size_t want) {
  std::size_t got = 0;
  if (Status s = ReadvFully(fd, offset, iov, got)) return InputError("Cannot read " + file.sourcePath + ": " + s->message);
  if (got != want) return InputError("Cannot read " + file.sourcePath + ": it changed size while the image was written");
  return std::nullopt;
}

// Appends the next `count` sectors of `file`, whose data is in their slots;
// `done` sectors and `left` bytes of it go on from where they were.
void CommitSectors(SectorSink& sink, const ImageNode& file, std::size_t count, std::uint32_t& done, std::uint64_t& left) {
  const std::size_t per = file.isForm2 ? sector::FORM2_DATA_SIZE : sector::FORM1_DATA_SIZE;
  const auto form = file.isForm2 ? SectorSink::Form::Two : SectorSink::Form::One;
  for (std::size_t i = 0; i < count; ++i, ++done) {
    const bool last = done + 1 == file.sectors;
    const std::size_t n = std::min<std::uint64_t>(per, left);
    sink.Commit(n, form, file.isForm2 ? (last ? FORM2_FILE_END : FORM2_DATA) : (last ? DATA_FILE_END : DATA_SECTOR));
    left -= n;
  }
}

// Streams one file straight into its sectors' slots, through the descriptor
// the look-up kept (or opened anew); the file must still have the size it had
// when the image was laid out: the last read asks for one byte more, which
// must not come.
Status PutFile(SectorSink& sink, const ImageNode& file, std::vector<iovec>& iov) {
  const std::string& path = file.sourcePath;
  OwnedFd reopened;
  if (!file.source.Valid()) {
    reopened = OwnedFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!reopened.Valid()) return InputError("Cannot read " + path + ": " + std::strerror(errno));
  }
  const int fd = file.source.Valid() ? file.source.Get() : reopened.Get();
  const std::size_t per = file.isForm2 ? sector::FORM2_DATA_SIZE : sector::FORM1_DATA_SIZE;
  std::uint64_t left = file.size;
  std::uint8_t probe = 0;
  std::uint32_t done = 0;
  do {
    SectorSink::Slots slots;
    if (file.sectors > done)
      if (Status s = sink.FreeSlots(std::min<std::uint32_t>(SECTORS_PER_READ, file.sectors - done), slots)) return s;
    iov.clear();
    std::size_t want = 0;
    for (std::size_t i = 0; i < slots.count; ++i) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(per, left - want));
      iov.push_back({slots.UserData(i), n});
      want += n;
    }
    // The probe byte goes where the last slot's data ends: still inside its
    // sector (a full sector's lands where its error codes go), overwritten
    // when the sector is finished, and one buffer less for the system.
    const bool lastRead = done + slots.count == file.sectors;
    if (lastRead && !iov.empty()) ++iov.back().iov_len;
    else if (lastRead) iov.push_back({&probe, 1});
    if (Status s = ReadChecked(fd, file, file.size - left, iov, want)) return s;
    CommitSectors(sink, file, slots.count, done, left);
  } while (done < file.sectors);
  return std::nullopt;
}

// Reads consecutive files of a sector each or a few, each whole in the batch
// being filled, with one system call for all of them, then appends their
// sectors in order. `taken` counts the runs written: none when the next file
// does not fit in what is left of the batch (it is written alone).
Status PutFilesTogether(SectorSink& sink, const std::vector<SectorRun>& runs, std::size_t first, InputRing& ring,
                        std::size_t& taken) {
  taken = 0;
  SectorSink::Slots slots;
  if (Status s = sink.FreeSlots(SectorSink::SECTORS_PER_WRITE, slots)) return s;
  struct Part {
    const ImageNode* file;
    std::size_t firstIov, iovs, want;
  };
  std::vector<Part> parts;
  std::vector<iovec> iov;
  std::size_t used = 0;  // slots given out
  for (std::size_t r = first; r < runs.size() && parts.size() < ring.Capacity(); ++r) {
    const ImageNode* file = runs[r].file;
    if (!file || file->sectors == 0 || !file->source.Valid() || runs[r].start != sink.Position() + used || file->sectors > slots.count - used)
      break;
    const std::size_t per = file->isForm2 ? sector::FORM2_DATA_SIZE : sector::FORM1_DATA_SIZE;
    Part part{file, iov.size(), file->sectors, 0};
    for (std::uint32_t i = 0; i < file->sectors; ++i) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(per, file->size - part.want));
      iov.push_back({slots.UserData(used + i), n});
      part.want += n;
    }
    ++iov.back().iov_len;  // the probe byte: see PutFile
    used += file->sectors;
    parts.push_back(part);
  }
  if (parts.empty()) return std::nullopt;
  std::vector<RingRead> reads(parts.size());
  for (std::size_t i = 0; i < parts.size(); ++i)
    reads[i] = {parts[i].file->source.Get(), iov.data() + parts[i].firstIov, static_cast<unsigned>(parts[i].iovs), 0};
  std::vector<std::int32_t> results(parts.size(), -1);
  const bool read = ring.Read(reads, results);
  if (!read && ring.Unsettled())
    return InputError("Cannot read " + parts.front().file->sourcePath + ": the system's reads did not end");
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Part& part = parts[i];
    // Anything but the whole file is read again the plain way, which tells a
    // file that changed from a read that stopped short.
    if (read && results[i] >= 0 && static_cast<std::size_t>(results[i]) == part.want) continue;
    std::vector<iovec> again(iov.begin() + static_cast<std::ptrdiff_t>(part.firstIov),
                             iov.begin() + static_cast<std::ptrdiff_t>(part.firstIov + part.iovs));
    if (Status s = ReadChecked(part.file->source.Get(), *part.file, 0, again, part.want)) return s;
  }
  for (const Part& part : parts) {
    std::uint32_t done = 0;
    std::uint64_t left = part.file->size;
    CommitSectors(sink, *part.file, part.file->sectors, done, left);
  }
  taken = parts.size();
  return std::nullopt;
}

Status PutDescriptors(const ImagePlan& plan, const iso::VolumeInfo& volume,
                      const iso::ImageDates& dates, SectorSink& sink) {
  if (Status s = sink.PutEmpty(iso::SYSTEM_AREA_SECTORS, SectorSink::Form::One, DATA_SECTOR)) return s;
  if (Status s = sink.PutForm1(iso::BuildPrimaryDescriptor(volume, dates), DATA_RECORD_END)) return s;
  if (Status s = sink.PutForm1(iso::BuildTerminator(), DATA_FILE_END)) return s;
  if (Status s = PutBlocks(sink, iso::BuildPathTable(plan.folders, false), DATA_FILE_END)) return s;
  if (Status s = PutBlocks(sink, iso::BuildPathTable(plan.folders, true), DATA_FILE_END)) return s;
  for (const ImageNode* folder : plan.folders)
    if (Status s = PutBlocks(sink, iso::BuildDirectory(*folder, dates), DATA_FILE_END)) return s;
  return std::nullopt;
}

Status CheckPosition(const SectorSink& sink, std::uint32_t planned) {
  if (sink.Position() == planned) return std::nullopt;
  return OutputError("internal error: sector " + std::to_string(sink.Position()) +
                     " reached where " + std::to_string(planned) + " was planned");
}

}  // namespace

Status WriteImage(const ImagePlan& plan, const iso::VolumeInfo& volume,
                  const iso::ImageDates& dates, SectorSink& sink, InputRing* ring) {
  if (Status s = PutDescriptors(plan, volume, dates, sink)) return s;
  std::vector<iovec> iov;
  for (std::size_t r = 0; r < plan.runs.size();) {
    const SectorRun& run = plan.runs[r];
    if (Status s = CheckPosition(sink, run.start)) return s;
    if (ring && run.file) {
      std::size_t taken = 0;
      if (Status s = PutFilesTogether(sink, plan.runs, r, *ring, taken)) return s;
      if (taken > 0) {
        r += taken;
        continue;
      }
    }
    Status s = run.file ? PutFile(sink, *run.file, iov) : PutEmpty(sink, run);
    if (s) return s;
    ++r;
  }
  return sink.Finish();
}
