// --extract: every folder and file of the image's file system into FOLDER,
// through descriptors relative to the folder being filled (openat with
// O_NOFOLLOW and O_EXCL, mkdirat), so that no name and no link can lead a
// write outside FOLDER; then FOLDER.kbv, the layout that writes the image
// again.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/PosixFile.h"
#include "image/CommandLine.h"
#include "tool/ImageReadRuns.h"
#include "tool/ImageSource.h"
#include "tool/IsoReader.h"
#include "tool/Progress.h"
#include "tool/SectorCheck.h"

namespace {

constexpr std::uint32_t SECTORS_PER_READ = 256;

ExitCode Fail(const ToolError& error) {
  std::fprintf(stderr, "brenvox.exe: %s\n", error.message.c_str());
  return error.code;
}

void Problem(const std::string& line) { std::fprintf(stderr, "brenvox.exe: %s\n", line.c_str()); }

std::string Errno(int error) { return std::strerror(error); }

// A layout file holds values between double quotes, and a "-d" value joins
// folder names with backslashes.
bool FitsLayoutFile(const std::string& name, bool folder) {
  return name.find('"') == std::string::npos && (!folder || name.find('\\') == std::string::npos);
}

bool IsEmptyFolder(int fd) {
  const int copy = ::dup(fd);
  if (copy < 0) return false;
  DIR* dir = ::fdopendir(copy);
  if (!dir) {
    ::close(copy);
    return false;
  }
  bool empty = true;
  while (const dirent* e = ::readdir(dir))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) empty = false;
  ::closedir(dir);
  return empty;
}

// FOLDER made if missing, refused if it holds anything; its absolute path.
Status PrepareFolder(const std::string& folder, OwnedFd& fd, std::string& absolute) {
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
    return OutputError("Cannot make folder " + folder + ": " + Errno(errno));
  fd = OwnedFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return OutputError("Cannot open folder " + folder + ": " + Errno(errno));
  if (!IsEmptyFolder(fd.Get())) return OutputError("Cannot extract into " + folder + ": it is not empty");
  char* real = ::realpath(folder.c_str(), nullptr);
  if (!real) return OutputError("Cannot open folder " + folder + ": " + Errno(errno));
  absolute = real;
  std::free(real);
  if (absolute.find_first_of("\"\n") != std::string::npos)
    return ToolError{ExitCode::Usage, "folder " + absolute + " holds a double quote or a line break, which a layout file cannot hold"};
  return std::nullopt;
}

// The image target of the layout: FOLDER itself, beside FOLDER.kbv, unless
// that would write over the opened image.
std::string RebuildTarget(const std::string& folder, const ImageSource& image) {
  std::string target = folder;
  for (int n = 1; image.IsOneOfItsFiles(target + ".bin") || image.IsOneOfItsFiles(target + ".cue"); ++n)
    target = folder + "-rebuilt" + (n > 1 ? std::to_string(n) : "");
  return target;
}

// One cue track holds everything (-s). Without a cue sheet a Form 2 file in
// a track of its own shows by the empty Form 2 gap sector just before it.
bool IsSingleTrack(const ImageSource& image, const IsoVolume& volume) {
  if (!image.Tracks().empty()) return image.Tracks().size() == 1;
  if (image.Format() != SectorFormat::Raw2352) return true;
  std::vector<std::uint8_t> before;
  for (const IsoEntry& e : volume.entries) {
    if (!e.isForm2 || !e.leftOut.empty() || e.dataLength == 0 || e.extent == 0) continue;
    if (image.Read(e.extent - 1, 1, before)) continue;
    if (before[sector::SUBHEADER_OFFSET + 2] == sector::SUBMODE_FORM2) return false;
  }
  return true;
}

class Extraction {
 public:
  Extraction(const ImageSource& image, IsoVolume& volume) : m_image(image), m_volume(volume) {}
  Status Run(int rootFd, const std::string& rootPath, CommandLine& entries);
  std::size_t Files() const { return m_files; }
  std::size_t Folders() const { return m_folders; }
  std::size_t Problems() const { return m_problems; }

 private:
  struct Frame {
    std::size_t folder;
    OwnedFd fd;
    std::string imagePath;  // "A\B", empty for the root
    std::string diskPath;
    std::size_t next = 0;
  };
  Status TakeFiles(const Frame& frame, CommandLine& entries);
  Status TakeFile(int folderFd, const IsoEntry& entry, std::size_t index, const std::string& diskPath, bool& taken);
  Status CopyData(int out, const IsoEntry& entry, std::size_t index, const std::string& diskPath);
  bool TakeFolder(std::vector<Frame>& stack, std::size_t index, CommandLine& entries);
  void LeaveOut(std::size_t index, const std::string& why);

  const ImageSource& m_image;
  IsoVolume& m_volume;
  std::unique_ptr<ProgressReport> m_progress;
  std::uint32_t m_total = 0, m_done = 0;
  std::size_t m_files = 0, m_folders = 0, m_problems = 0;
  std::vector<std::uint8_t> m_buffer;  // the sectors of one read
  std::vector<std::uint8_t> m_data;    // their user data, for one write
};

void Extraction::LeaveOut(std::size_t index, const std::string& why) {
  const IsoEntry& e = m_volume.entries[index];
  Problem("Left out " + EntryPath(m_volume, index) + (e.isFolder ? " (a folder, with all it holds)" : "") + ": " + why);
  ++m_problems;
}

Status Extraction::Run(int rootFd, const std::string& rootPath, CommandLine& entries) {
  std::uint64_t total = 0;
  for (const IsoEntry& e : m_volume.entries)
    if (!e.isFolder && e.leftOut.empty()) total += e.Sectors();
  m_total = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX));
  m_progress = std::make_unique<ProgressReport>(stdout, m_total);
  for (const std::string& fault : m_volume.faults) {
    Problem(fault);
    ++m_problems;
  }
  std::vector<Frame> stack;
  const int rootCopy = ::fcntl(rootFd, F_DUPFD_CLOEXEC, 0);
  if (rootCopy < 0) return OutputError("Cannot open folder " + rootPath + ": " + Errno(errno));
  stack.push_back({0, OwnedFd(rootCopy), "", rootPath});
  if (Status s = TakeFiles(stack.back(), entries)) return s;
  while (!stack.empty()) {
    Frame& top = stack.back();
    const std::vector<std::size_t>& children = m_volume.entries[top.folder].children;
    while (top.next < children.size() && !m_volume.entries[children[top.next]].isFolder) ++top.next;
    if (top.next == children.size()) {
      stack.pop_back();
      continue;
    }
    const std::size_t child = children[top.next++];
    if (TakeFolder(stack, child, entries))
      if (Status s = TakeFiles(stack.back(), entries)) return s;
  }
  m_progress->Update(m_total);
  return std::nullopt;
}

bool Extraction::TakeFolder(std::vector<Frame>& stack, std::size_t index, CommandLine& entries) {
  const IsoEntry& e = m_volume.entries[index];
  if (!e.leftOut.empty()) {
    LeaveOut(index, e.leftOut);
    return false;
  }
  if (!FitsLayoutFile(e.name, true)) {
    LeaveOut(index, "a layout file cannot name a folder with a double quote or a backslash");
    return false;
  }
  const Frame& parent = stack.back();
  const std::string diskPath = parent.diskPath + "/" + e.name;
  if (::mkdirat(parent.fd.Get(), e.name.c_str(), 0777) != 0) {
    LeaveOut(index, errno == EEXIST ? "an earlier entry has the same name" : "cannot make " + diskPath + ": " + Errno(errno));
    return false;
  }
  OwnedFd fd(::openat(parent.fd.Get(), e.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.Valid()) {
    LeaveOut(index, "cannot open " + diskPath + ": " + Errno(errno));
    return false;
  }
  const std::string imagePath = parent.imagePath.empty() ? e.name : parent.imagePath + "\\" + e.name;
  entries.push_back({"-d", true, imagePath});
  ++m_folders;
  stack.push_back({index, std::move(fd), imagePath, diskPath});
  return true;
}

Status Extraction::TakeFiles(const Frame& frame, CommandLine& entries) {
  for (std::size_t index : m_volume.entries[frame.folder].children) {
    const IsoEntry& e = m_volume.entries[index];
    if (e.isFolder) continue;
    if (!e.leftOut.empty()) {
      LeaveOut(index, e.leftOut);
      continue;
    }
    const std::string diskPath = frame.diskPath + "/" + e.name;
    if (!FitsLayoutFile(diskPath, false)) {
      LeaveOut(index, "a layout file cannot name a file with a double quote");
      continue;
    }
    bool taken = false;
    if (Status s = TakeFile(frame.fd.Get(), e, index, diskPath, taken)) return s;
    if (!taken) continue;
    entries.push_back({e.isForm2 ? "-m" : "-f", true, diskPath});
    ++m_files;
  }
  return std::nullopt;
}

Status Extraction::TakeFile(int folderFd, const IsoEntry& e, std::size_t index, const std::string& diskPath, bool& taken) {
  OwnedFd out(::openat(folderFd, e.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!out.Valid()) {
    LeaveOut(index, errno == EEXIST ? "an earlier entry has the same name" : "cannot create " + diskPath + ": " + Errno(errno));
    return std::nullopt;
  }
  if (Status s = CopyData(out.Get(), e, index, diskPath)) return s;
  if (const int error = out.Close()) return OutputError("Cannot write " + diskPath + ": " + Errno(error));
  taken = true;
  return std::nullopt;
}

// The file's sectors, read a batch at a time: a Form 1 file's recorded bytes,
// a Form 2 file's 2324 user bytes of every sector. Each raw sector is checked
// as it goes by; a damaged file is still taken, and named.
Status Extraction::CopyData(int out, const IsoEntry& e, std::size_t index, const std::string& diskPath) {
  const bool raw = m_image.Format() == SectorFormat::Raw2352;
  const std::size_t per = e.isForm2 ? sector::FORM2_DATA_SIZE : sector::FORM1_DATA_SIZE;
  std::uint64_t left = e.isForm2 ? std::uint64_t{e.Sectors()} * per : e.dataLength;
  bool damaged = false;
  for (std::uint32_t at = 0; at < e.Sectors();) {
    const std::uint32_t n = std::min(SECTORS_PER_READ, e.Sectors() - at);
    if (Status s = m_image.Read(e.extent + at, n, m_buffer)) return s;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint8_t* s = m_buffer.data() + std::size_t{i} * m_image.SectorSize();
      if (raw && !damaged) {
        const std::span<const std::uint8_t, sector::SECTOR_SIZE> whole(s, sector::SECTOR_SIZE);
        const sector::SectorFault fault = sector::CheckSector(whole, e.extent + at + i);
        const char* why = fault != sector::SectorFault::None ? sector::SectorFaultText(fault)
                          : sector::IsForm2(whole) != e.isForm2 ? "its Form differs from the file's" : nullptr;
        if (why) {
          Problem("Damaged " + EntryPath(m_volume, index) + ": sector " + std::to_string(e.extent + at + i) + ": " + why);
          ++m_problems;
          damaged = true;
        }
      }
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, per));
      const std::uint8_t* data = s + (raw ? sector::USER_DATA_OFFSET : 0);
      m_data.insert(m_data.end(), data, data + take);
      left -= take;
    }
    // One write per batch: a write per sector would cost more than the copy.
    if (const int error = WriteAll(out, m_data.data(), m_data.size()))
      return OutputError("Cannot write " + diskPath + ": " + Errno(error));
    m_data.clear();
    at += n;
    m_done = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{m_done} + n, m_total));
    m_progress->Update(m_done);
  }
  return std::nullopt;
}

void SayLine(const std::string& line) {
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace

ExitCode RunExtract(const std::string& imagePath, const std::string& folderGiven) {
  ImageSource image;
  if (Status s = image.Open(imagePath)) return Fail(*s);
  IsoVolume volume;
  if (Status s = ReadIsoVolume(image, volume)) return Fail(*s);
  std::string folder = folderGiven;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const std::string layoutPath = folder + ".kbv";
  struct stat st {};
  if (::lstat(layoutPath.c_str(), &st) == 0)
    return Fail(OutputError("Cannot write " + layoutPath + ": it already exists"));
  OwnedFd folderFd;
  std::string absolute;
  if (Status s = PrepareFolder(folder, folderFd, absolute)) return Fail(*s);

  CommandLine entries = {{"-o", true, RebuildTarget(absolute, image)}};
  if (!volume.volumeIdentifier.empty() && FitsLayoutFile(volume.volumeIdentifier, false))
    entries.push_back({"-v", true, volume.volumeIdentifier});
  entries.push_back({"-x", false, {}});  // the names stay as the image has them
  if (IsSingleTrack(image, volume)) entries.push_back({"-s", false, {}});
  Extraction extraction(image, volume);
  if (Status s = extraction.Run(folderFd.Get(), absolute, entries)) return Fail(*s);
  WholeWriteError failure;
  if (!WriteWhole(layoutPath, RenderStructureFile(entries), &failure))
    return Fail(OutputError("Cannot write " + failure.path + ": " + Errno(failure.error)));
  if (volume.hasDate) SayLine("Image date: SOURCE_DATE_EPOCH=" + std::to_string(static_cast<long long>(volume.created)));
  SayLine("Layout " + layoutPath + " written: " + std::to_string(extraction.Files()) + " files, " +
          std::to_string(extraction.Folders()) + " folders, " + std::to_string(extraction.Problems()) +
          " left out or damaged");
  return extraction.Problems() == 0 ? ExitCode::Success : ExitCode::ImageFaults;
}
