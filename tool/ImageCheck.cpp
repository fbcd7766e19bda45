// --check: reads every sector of the image and checks it (sync, header,
// subheader, EDC, Form 1 ECC), then the file system (descriptors, path
// tables against the folders, records inside their sectors, extents inside
// the image, each file's sectors in its Form). One line per fault, a summary
// last.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tool/ImageReadRuns.h"
#include "tool/ImageSource.h"
#include "tool/IsoReader.h"
#include "tool/Progress.h"
#include "tool/SectorCheck.h"
#include "tool/ToolArguments.h"

namespace {

constexpr std::uint32_t SECTORS_PER_READ = 256;

void SayLine(const std::string& line) {
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

// Checks every raw sector; keeps each one's Form bit for the file check.
Status CheckSectors(const ImageSource& image, std::vector<bool>& form2, std::uint64_t& bad) {
  ProgressReport progress(stdout, image.SectorCount());
  std::vector<std::uint8_t> buffer;
  form2.assign(image.SectorCount(), false);
  for (std::uint32_t lba = 0; lba < image.SectorCount();) {
    const std::uint32_t n = std::min(SECTORS_PER_READ, image.SectorCount() - lba);
    if (Status s = image.Read(lba, n, buffer)) return s;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::span<const std::uint8_t, sector::SECTOR_SIZE> s(buffer.data() + std::size_t{i} * sector::SECTOR_SIZE,
                                                                 sector::SECTOR_SIZE);
      form2[lba + i] = sector::IsForm2(s);
      const sector::SectorFault fault = sector::CheckSector(s, lba + i);
      if (fault == sector::SectorFault::None) continue;
      SayLine("sector " + std::to_string(lba + i) + ": " + sector::SectorFaultText(fault));
      ++bad;
    }
    lba += n;
    progress.Update(lba);
  }
  return std::nullopt;
}

// Every structure block is Form 1; a file's sectors are in the file's Form.
std::uint64_t CheckForms(const IsoVolume& volume, const std::vector<bool>& form2) {
  std::uint64_t faults = 0;
  for (std::size_t i = 0; i < volume.entries.size(); ++i) {
    const IsoEntry& e = volume.entries[i];
    if (!e.leftOut.empty()) continue;
    for (std::uint32_t s = e.extent; s < e.extent + e.Sectors() && s < form2.size(); ++s) {
      if (form2[s] == e.isForm2) continue;
      // Appended, not concatenated: g++ 12 warns falsely (-Wrestrict) on "/" + string in Release.
      std::string where = "sector " + std::to_string(s) + ": in ";
      where.append(i == 0 ? "the root folder" : "/").append(i == 0 ? std::string() : EntryPath(volume, i));
      SayLine(where + ", but a Form " + (form2[s] ? "2" : "1") + " sector");
      ++faults;
      break;
    }
  }
  return faults;
}

}  // namespace

ExitCode RunCheck(const std::string& imagePath) {
  ImageSource image;
  if (Status s = image.Open(imagePath)) {
    std::fprintf(stderr, "brenvox.exe: %s\n", s->message.c_str());
    return s->code;
  }
  std::uint64_t badSectors = 0, faults = 0;
  std::vector<bool> form2;
  if (image.Format() == SectorFormat::Raw2352) {
    if (Status s = CheckSectors(image, form2, badSectors)) {
      std::fprintf(stderr, "brenvox.exe: %s\n", s->message.c_str());
      return s->code;
    }
  }
  if (image.TrailingBytes() != 0) {
    SayLine("the image ends with " + std::to_string(image.TrailingBytes()) + " bytes of a sector cut short");
    ++faults;
  }
  IsoVolume volume;
  if (Status s = ReadIsoVolume(image, volume)) {
    SayLine(s->message);
    ++faults;
  } else {
    std::vector<std::string> lines = volume.faults;
    for (std::size_t i = 1; i < volume.entries.size(); ++i)
      if (!volume.entries[i].leftOut.empty())
        lines.push_back(std::string(1, '/').append(EntryPath(volume, i)).append(": ").append(volume.entries[i].leftOut));
    for (const std::string& line : CheckPathTables(image, volume)) lines.push_back(line);
    for (const std::string& line : lines) SayLine(line);
    faults += lines.size();
    if (!form2.empty()) faults += CheckForms(volume, form2);
  }
  SayLine("Checked " + image.DataPath() + ": " + std::to_string(image.SectorCount()) + " sectors, " +
          std::to_string(badSectors) + " bad, " + std::to_string(faults) + " faults in the file system");
  return badSectors == 0 && faults == 0 ? ExitCode::Success : ExitCode::ImageFaults;
}

std::optional<ExitCode> RunReadRequest(const std::vector<std::string>& args) {
  if (args.empty() || (args[0] != "--extract" && args[0] != "--check")) return std::nullopt;
  const bool extract = args[0] == "--extract";
  const std::size_t wanted = extract ? 3 : 2;
  if (args.size() != wanted || args[1].empty() || (extract && args[2].empty())) {
    std::fprintf(stderr, "%sbrenvox.exe: %s\n", UsageText().c_str(),
                 extract ? "--extract needs IMAGE and FOLDER, and nothing else" : "--check needs IMAGE, and nothing else");
    return ExitCode::Usage;
  }
  return extract ? RunExtract(args[1], args[2]) : RunCheck(args[1]);
}
