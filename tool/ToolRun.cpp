#include "tool/ToolRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/PosixFile.h"
#include "tool/CueSheet.h"
#include "tool/ImageFile.h"
#include "tool/ImageLayout.h"
#include "tool/ImagePlanner.h"
#include "tool/ImageWriter.h"
#include "tool/SectorCode.h"
#include "tool/IsoNames.h"
#include "tool/ToolArguments.h"

namespace {

void SayLine(const std::string& line) {
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

ExitCode Fail(const ToolError& error) {
  std::fprintf(stderr, "brenvox.exe: %s\n", error.message.c_str());
  return error.code;
}

// The last moment the volume descriptor's dates can hold: 9999-12-31 23:59:59 UTC.
constexpr long long LAST_ISO_SECOND = 253402300799LL;

// SOURCE_DATE_EPOCH, when set to a decimal number of seconds, fixes every date.
// A number outside 1970 to 9999 cannot be written and is refused.
Status ImageDates(iso::ImageDates& dates) {
  dates.volume = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    if (*end != '\0') {
      std::fprintf(stderr, "brenvox.exe: SOURCE_DATE_EPOCH '%s' is not a number of seconds; using the clock\n", epoch);
    } else if (errno != 0 || seconds < 0 || seconds > LAST_ISO_SECOND) {
      return ToolError{ExitCode::Usage, std::string("SOURCE_DATE_EPOCH '") + epoch +
                                            "' is outside the dates an image can hold (1970 to 9999)"};
    } else {
      dates.volume = static_cast<std::time_t>(seconds);
      dates.fixed = true;
    }
  }
  return std::nullopt;
}

// The image target must name a file the cue sheet can name: not a folder
// ("dir/" would write the hidden "dir/.bin") and no double quote or line break
// (the FILE line quotes the name and ends at the line).
Status CheckTarget(const std::string& target) {
  // What follows the last '/', as written: "dir/" leaves nothing.
  const std::size_t slash = target.rfind('/');
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty() || name == "." || name == "..")
    return ToolError{ExitCode::Usage, "image target '" + target + "' names a folder, not a file"};
  if (name.find_first_of("\"\n\r") != std::string::npos)
    return ToolError{ExitCode::Usage, "image name '" + name +
                                          "' holds a double quote or a line break, which the cue sheet cannot name"};
  return std::nullopt;
}

// An output that exists must be a regular file: a FIFO would block the run
// for ever, a device or a folder must never be written to.
Status CheckOutputsAreFiles(const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs) {
    struct stat st {};
    if (stat(output.c_str(), &st) != 0) continue;
    if (!S_ISREG(st.st_mode)) return OutputError("Cannot write " + output + ": it is not a regular file");
  }
  return std::nullopt;
}

Status WriteBin(const std::string& binPath, const ImagePlan& plan, const iso::VolumeInfo& volume,
                const iso::ImageDates& dates) {
  ImageFile image;
  if (Status s = image.Open(binPath)) return s;
  ProgressReport progress(stdout, plan.totalSectors);
  Status s;
  {
    SectorSink sink(image.Fd(), binPath, plan.totalSectors, &progress);  // ends its writes before the close
    s = WriteImage(plan, volume, dates, sink);
  }
  if (Status closed = image.Close(); closed && !s) s = closed;
  return s;
}

// A cue sheet left from an earlier image would make a partial .bin read as a
// whole disc: it goes before the first byte of the new image is written.
Status RemoveOldCueSheet(const std::string& cuePath) {
  if (::unlink(cuePath.c_str()) == 0 || errno == ENOENT) return std::nullopt;
  return OutputError("Cannot remove the old " + cuePath + ": " + std::strerror(errno));
}

// Writing the image must never destroy one of its own inputs: the .bin is
// emptied first and the .cue replaced at the end.
Status CheckOutputsAreNotInputs(const ImageNode& root, const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs) {
    struct stat st {};
    if (stat(output.c_str(), &st) != 0) continue;
    Status clash;
    ForEachFile(root, [&](const ImageNode& f) {
      if (!clash && f.device == static_cast<std::uint64_t>(st.st_dev) && f.inode == static_cast<std::uint64_t>(st.st_ino))
        clash = OutputError("Cannot write " + output + ": it is the input file " + f.sourcePath);
    });
    if (clash) return clash;
  }
  return std::nullopt;
}

// -n: the run up to the first byte, with every name that changes and the
// run's last line; the outputs are checked as a run would, but nothing is
// written, emptied or removed.
ExitCode PlanOnly(const ToolOptions& options, PlannedImage& planned) {
  if (Status s = PlanImageTree(options, LookUpInputOnDisk, planned)) return Fail(*s);
  for (const NameChange& change : NameChanges(options, planned.root))
    SayLine(NameChangeLine(change, options.isoLevel));
  const std::string binPath = options.target + ".bin";
  const std::string cuePath = options.target + ".cue";
  if (Status s = CheckOutputsAreNotInputs(planned.root, {binPath, cuePath})) return Fail(*s);
  if (Status s = CheckOutputsAreFiles({binPath, cuePath})) return Fail(*s);
  SayLine("Nothing written (-n): the image would be " +
          std::to_string(std::uint64_t{planned.plan.totalSectors} * sector::SECTOR_SIZE) + " bytes");
  SayLine(ImageWrittenLine(binPath, planned.plan.totalSectors));
  return ExitCode::Success;
}

}  // namespace

ExitCode RunTool(const std::vector<std::string>& args) {
  const ParsedArguments parsed = ParseToolArguments(args);
  if (!parsed.options) {
    // The cause comes last: a reader that keeps only the tail still sees it.
    std::fprintf(stderr, "%sbrenvox.exe: %s\n", UsageText().c_str(), parsed.error.c_str());
    return ExitCode::Usage;
  }
  const ToolOptions& options = *parsed.options;
  if (Status s = CheckTarget(options.target)) return Fail(*s);
  iso::ImageDates dates;
  if (Status s = ImageDates(dates)) return Fail(*s);
  PlannedImage planned;
  ImageNode& root = planned.root;
  const ImagePlan& plan = planned.plan;
  if (options.planOnly) return PlanOnly(options, planned);
  if (Status s = BuildImageTree(options, root, KeepingInputsOpen())) return Fail(*s);
  NameAndSortTree(options, root, SayLine);
  if (Status s = LayOutImage(options, root, planned.plan)) return Fail(*s);

  const std::string volumeName = options.volume && !options.volume->empty() ? *options.volume : "CDROM";
  const iso::VolumeInfo volume{MapVolumeName(volumeName), plan.volumeSpaceSize,
                               plan.pathTableBytes, plan.lTableSector, plan.mTableSector, &root};
  const std::string binPath = options.target + ".bin";
  const std::string cuePath = options.target + ".cue";
  if (Status s = CheckOutputsAreNotInputs(root, {binPath, cuePath})) return Fail(*s);
  if (Status s = CheckOutputsAreFiles({binPath, cuePath})) return Fail(*s);
  if (Status s = RemoveOldCueSheet(cuePath)) return Fail(*s);
  if (Status s = WriteBin(binPath, plan, volume, dates)) return Fail(*s);
  if (Status s = WriteCueSheet(cuePath, CueSheetText(BaseName(binPath), plan))) return Fail(*s);
  SayLine(ImageWrittenLine(binPath, plan.totalSectors));
  return ExitCode::Success;
}
