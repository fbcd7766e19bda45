#include "tool/ImageSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sstream>

#include "tool/IsoStructures.h"
#include "tool/SectorCode.h"

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && Upper(s.substr(s.size() - suffix.size())) == suffix;
}

// "mm:ss:ff" in sectors; nothing when it is not such a time.
std::optional<std::uint32_t> CueTime(const std::string& text) {
  unsigned m = 0, s = 0, f = 0;
  char c1 = 0, c2 = 0, rest = 0;
  std::istringstream in(text);
  if (!(in >> m >> c1 >> s >> c2 >> f) || c1 != ':' || c2 != ':' || in >> rest) return std::nullopt;
  if (m > 99 || s > 59 || f >= sector::SECTORS_PER_SECOND) return std::nullopt;
  return (m * 60 + s) * sector::SECTORS_PER_SECOND + f;
}

// The quoted (or bare) file name after FILE, and the rest of the line.
bool SplitFileLine(const std::string& line, std::string& name, std::string& rest) {
  std::size_t at = line.find_first_not_of(" \t", 4);
  if (at == std::string::npos) return false;
  if (line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return false;
    name = line.substr(at + 1, close - at - 1);
    rest = line.substr(close + 1);
  } else {
    const std::size_t end = line.find_first_of(" \t", at);
    name = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    rest = end == std::string::npos ? "" : line.substr(end);
  }
  return true;
}

std::string Word(std::istringstream& in) {
  std::string w;
  in >> w;
  return w;
}

Status ReadFailure(const std::string& path, int error) {
  return InputError("Cannot read " + path + ": " + std::strerror(error));
}

// Opens a regular file for reading without waiting on whatever else it may be.
Status OpenRegular(const std::string& path, OwnedFd& fd, struct stat& st) {
  fd = OwnedFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return ReadFailure(path, errno);
  if (::fstat(fd.Get(), &st) != 0) return ReadFailure(path, errno);
  if (!S_ISREG(st.st_mode)) return InputError("Cannot read " + path + ": it is not a regular file");
  return std::nullopt;
}

Status ReadAt(int fd, const std::string& path, std::uint64_t offset, std::uint8_t* out, std::size_t n) {
  while (n > 0) {
    const ssize_t got = ::pread(fd, out, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ReadFailure(path, errno);
    if (got == 0) return InputError("Cannot read " + path + ": it ends early (it was cut short or changed)");
    out += got, n -= static_cast<std::size_t>(got), offset += static_cast<std::uint64_t>(got);
  }
  return std::nullopt;
}

bool StartsWithSync(int fd, std::uint64_t offset) {
  std::uint8_t head[sector::SYNC_SIZE] = {};
  if (::pread(fd, head, sizeof head, static_cast<off_t>(offset)) != static_cast<ssize_t>(sizeof head)) return false;
  static constexpr std::uint8_t SYNC[sector::SYNC_SIZE] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  return std::equal(head, head + sizeof head, SYNC);
}

bool HoldsVolumeDescriptor(int fd, std::uint64_t offset) {
  char id[5] = {};
  return ::pread(fd, id, sizeof id, static_cast<off_t>(offset + 1)) == static_cast<ssize_t>(sizeof id) &&
         std::memcmp(id, "CD001", 5) == 0;
}

}  // namespace

std::optional<std::string> ParseCueSheet(std::string_view text, CueSheetContents& out) {
  out = {};
  bool haveFile = false;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    std::istringstream words(line);
    const std::string keyword = Upper(Word(words));
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (keyword == "FILE") {
      if (haveFile) return where + "a second FILE; only a cue sheet of one image file is read";
      std::string rest;
      if (!SplitFileLine(line, out.fileName, rest) || out.fileName.empty()) return where + "FILE names no file";
      std::istringstream type(rest);
      if (Upper(Word(type)) != "BINARY") return where + "the FILE is not BINARY";
      haveFile = true;
    } else if (keyword == "TRACK") {
      if (!haveFile) return where + "TRACK before FILE";
      const std::string number = Word(words), mode = Upper(Word(words));
      const int expected = static_cast<int>(out.tracks.size()) + 1;
      if (number.size() > 2 || number.empty() || !std::all_of(number.begin(), number.end(), ::isdigit) ||
          std::stoi(number) != expected)
        return where + "track " + number + " is out of order";
      if (mode != "MODE2/2352") return where + "track " + number + " is " + mode + "; only MODE2/2352 tracks are read";
      if (expected > 1 && out.tracks.back().number == 0) return where + "the track before has no INDEX 01";
      out.tracks.push_back({0, 0});
    } else if (keyword == "INDEX") {
      if (out.tracks.empty()) return where + "INDEX before TRACK";
      const std::string number = Word(words);
      const auto time = CueTime(Word(words));
      if (!time) return where + "INDEX time is not mm:ss:ff";
      if (number != "01" && number != "1") continue;
      CueTrack& track = out.tracks.back();
      if (out.tracks.size() > 1 && *time <= out.tracks[out.tracks.size() - 2].index01)
        return where + "INDEX 01 does not come after the track before";
      track.number = static_cast<int>(out.tracks.size());
      track.index01 = *time;
    }
    // REM, FLAGS, PREGAP, TITLE and the like do not change where sectors lie.
  }
  if (!haveFile) return std::string("no FILE line");
  if (out.tracks.empty()) return std::string("no TRACK");
  if (out.tracks.back().number == 0) return std::string("the last track has no INDEX 01");
  if (out.tracks.front().index01 != 0) return std::string("track 01 does not begin at 00:00:00");
  return std::nullopt;
}

Status ImageSource::Open(const std::string& path) {
  if (EndsWithNoCase(path, ".CUE")) return OpenCue(path);
  return OpenData(path);
}

Status ImageSource::OpenCue(const std::string& path) {
  OwnedFd fd;
  struct stat st {};
  if (Status s = OpenRegular(path, fd, st)) return s;
  if (static_cast<std::uint64_t>(st.st_size) > MAX_CUE_SHEET_BYTES)
    return InputError("Cannot read " + path + ": too large for a cue sheet");
  std::string text(static_cast<std::size_t>(st.st_size), '\0');
  if (Status s = ReadAt(fd.Get(), path, 0, reinterpret_cast<std::uint8_t*>(text.data()), text.size())) return s;
  CueSheetContents cue;
  if (auto error = ParseCueSheet(text, cue)) return InputError("Cannot read cue sheet " + path + ": " + *error);
  // The image file must lie beside its cue sheet: a name with a folder in it
  // could point anywhere on the system.
  const std::string& name = cue.fileName;
  if (name.find('/') != std::string::npos || name == "." || name == ".." || name.find('\0') != std::string::npos)
    return InputError("Cannot read cue sheet " + path + ": its FILE \"" + name + "\" is not a file beside it");
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  m_cuePath = path;
  m_cueDevice = static_cast<std::uint64_t>(st.st_dev);
  m_cueInode = static_cast<std::uint64_t>(st.st_ino);
  if (Status s = OpenData(folder + name)) return s;
  if (m_format != SectorFormat::Raw2352)
    return InputError("Cannot read " + m_dataPath + ": its cue sheet names MODE2/2352, but it holds no raw sectors");
  for (const CueTrack& track : cue.tracks)
    if (track.index01 >= m_sectors)
      return InputError("Cannot read " + m_dataPath + ": track " + std::to_string(track.number) +
                        " of the cue sheet lies past the end of the image (it was cut short)");
  m_tracks = cue.tracks;
  return std::nullopt;
}

Status ImageSource::OpenData(const std::string& path) {
  struct stat st {};
  if (Status s = OpenRegular(path, m_fd, st)) return s;
  m_dataPath = path;
  m_device = static_cast<std::uint64_t>(st.st_dev);
  m_inode = static_cast<std::uint64_t>(st.st_ino);
  const int fd = m_fd.Get();
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  if (StartsWithSync(fd, 0) || StartsWithSync(fd, iso::PVD_SECTOR * sector::SECTOR_SIZE)) {
    m_format = SectorFormat::Raw2352;
  } else if (HoldsVolumeDescriptor(fd, iso::PVD_SECTOR * iso::LOGICAL_BLOCK_SIZE)) {
    m_format = SectorFormat::Plain2048;
  } else {
    return InputError("Cannot read " + path + ": it is neither a raw Mode 2 image nor an ISO 9660 image");
  }
  const std::uint64_t sectors = size / SectorSize();
  if (sectors > std::numeric_limits<std::uint32_t>::max())
    return InputError("Cannot read " + path + ": too large for a disc image");
  m_sectors = static_cast<std::uint32_t>(sectors);
  m_trailing = size % SectorSize();
  return std::nullopt;
}

Status ImageSource::Read(std::uint32_t lba, std::uint32_t count, std::vector<std::uint8_t>& out) const {
  if (lba > m_sectors || count > m_sectors - lba)
    return InputError("Cannot read sector " + std::to_string(lba) + " of " + m_dataPath + ": past its end");
  out.resize(std::size_t{count} * SectorSize());
  return ReadAt(m_fd.Get(), m_dataPath, std::uint64_t{lba} * SectorSize(), out.data(), out.size());
}

Status ImageSource::ReadBlock(std::uint32_t lba, std::vector<std::uint8_t>& out) const {
  if (Status s = Read(lba, 1, out)) return s;
  if (m_format == SectorFormat::Raw2352) {
    out.erase(out.begin(), out.begin() + sector::USER_DATA_OFFSET);
    out.resize(iso::LOGICAL_BLOCK_SIZE);
  }
  return std::nullopt;
}

bool ImageSource::IsOneOfItsFiles(const std::string& path) const {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  const auto dev = static_cast<std::uint64_t>(st.st_dev), ino = static_cast<std::uint64_t>(st.st_ino);
  return (dev == m_device && ino == m_inode) || (!m_cuePath.empty() && dev == m_cueDevice && ino == m_cueInode);
}
