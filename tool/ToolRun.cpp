#include "tool/ToolRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/PosixFile.h"
#include "tool/CueSheet.h"
#include "tool/ImageLayout.h"
#include "tool/ImageWriter.h"
#include "tool/IsoNames.h"
#include "tool/ToolArguments.h"

namespace {

void sayLine(const std::string& line) {
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

ExitCode fail(const ToolError& error) {
  std::fprintf(stderr, "brenvox.exe: %s\n", error.message.c_str());
  return error.code;
}

// SOURCE_DATE_EPOCH, when set to a decimal number of seconds, fixes every date.
iso::ImageDates imageDates() {
  iso::ImageDates dates;
  dates.volume = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    if (errno == 0 && *end == '\0' && seconds >= 0) {
      dates.volume = static_cast<std::time_t>(seconds);
      dates.fixed = true;
    } else {
      std::fprintf(stderr, "brenvox.exe: SOURCE_DATE_EPOCH '%s' is not a number of seconds; using the clock\n", epoch);
    }
  }
  return dates;
}

Status writeBin(const std::string& binPath, const ImagePlan& plan, const iso::VolumeInfo& volume,
                const iso::ImageDates& dates) {
  const int fd = ::open(binPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return outputError("Cannot write " + binPath + ": " + std::strerror(errno));
  ProgressReport progress(stdout, plan.totalSectors);
  Status s;
  {
    SectorSink sink(fd, binPath, plan.totalSectors, &progress);  // ends its writes before the close
    s = writeImage(plan, volume, dates, sink);
  }
  if (::close(fd) != 0 && !s) s = outputError("Cannot write " + binPath + ": " + std::strerror(errno));
  return s;
}

// Writing the image must never destroy one of its own inputs: the .bin is
// emptied first and the .cue replaced at the end.
Status checkOutputsAreNotInputs(const ImageNode& root, const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs) {
    struct stat st {};
    if (stat(output.c_str(), &st) != 0) continue;
    Status clash;
    forEachFile(root, [&](const ImageNode& f) {
      if (!clash && f.device == static_cast<std::uint64_t>(st.st_dev) && f.inode == static_cast<std::uint64_t>(st.st_ino))
        clash = outputError("Cannot write " + output + ": it is the input file " + f.sourcePath);
    });
    if (clash) return clash;
  }
  return std::nullopt;
}

}  // namespace

ExitCode runTool(const std::vector<std::string>& args) {
  const ParsedArguments parsed = parseToolArguments(args);
  if (!parsed.options) {
    std::fprintf(stderr, "brenvox.exe: %s\n%s", parsed.error.c_str(), usageText().c_str());
    return ExitCode::Usage;
  }
  const ToolOptions& options = *parsed.options;
  const iso::ImageDates dates = imageDates();
  ImageNode root;
  if (Status s = buildImageTree(options, root)) return fail(*s);
  nameAndSortTree(options, root, sayLine);
  ImagePlan plan;
  if (Status s = layOutImage(options, root, plan)) return fail(*s);

  const std::string volumeName = options.volume && !options.volume->empty() ? *options.volume : "CDROM";
  const iso::VolumeInfo volume{mapVolumeName(volumeName), plan.volumeSpaceSize,
                               plan.pathTableBytes, plan.lTableSector, plan.mTableSector, &root};
  const std::string binPath = options.target + ".bin";
  const std::string cuePath = options.target + ".cue";
  if (Status s = checkOutputsAreNotInputs(root, {binPath, cuePath})) return fail(*s);
  if (Status s = writeBin(binPath, plan, volume, dates)) return fail(*s);
  if (Status s = writeCueSheet(cuePath, cueSheetText(BaseName(binPath), plan))) return fail(*s);
  sayLine("Image " + binPath + " written: " + std::to_string(plan.totalSectors) + " sectors");
  return ExitCode::Success;
}
