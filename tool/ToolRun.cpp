#include "tool/ToolRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/PosixFile.h"
#include "tool/CueSheet.h"
#include "tool/ImageLayout.h"
#include "tool/ImageOutputs.h"
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

// The last moment every date of the image can hold: a directory record counts
// its year from 1900 in one byte, so 2155-12-31 23:59:59 UTC (the volume
// descriptor's digits would go on to 9999, but its dates must agree with the
// records').
constexpr long long LAST_ISO_SECOND = 5869583999LL;

// SOURCE_DATE_EPOCH, when set to a decimal number of seconds, fixes every date.
// A number outside 1970 to 2155 cannot be written and is refused.
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
                                            "' is outside the dates an image can hold (1970 to 2155)"};
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

Status WriteBin(const ImageOutputs& outputs, const ImagePlan& plan, const iso::VolumeInfo& volume,
                const iso::ImageDates& dates) {
  const std::string& binPath = outputs.bin;
  ImageFile image;
  if (Status s = OpenImageReplacingCue(outputs, image)) return s;
  ProgressReport progress(stdout, plan.totalSectors);
  // Many small files are read many at a time where the system has a ring for it.
  const auto files = std::count_if(plan.runs.begin(), plan.runs.end(), [](const SectorRun& r) { return r.file; });
  const std::unique_ptr<InputRing> ring = static_cast<std::size_t>(files) >= LEAST_FILES_FOR_A_RING
                                              ? InputRing::Create(SectorSink::SECTORS_PER_WRITE)
                                              : nullptr;
  Status s;
  {
    SectorSink sink(image.Fd(), binPath, plan.totalSectors, &progress);  // ends its writes before the close
    s = WriteImage(plan, volume, dates, sink, ring.get());
  }
  if (Status closed = image.Close(); closed && !s) s = closed;
  return s;
}

// -n: the run up to the first byte, with every name that changes and the
// run's last line; the outputs are checked as a run would, but nothing is
// written, emptied or removed.
ExitCode PlanOnly(const ToolOptions& options, PlannedImage& planned) {
  if (Status s = PlanImageTree(options, LookUpInputOnDisk, planned)) return Fail(*s);
  for (const NameChange& change : NameChanges(options, planned.root))
    SayLine(NameChangeLine(change, options.isoLevel));
  const ImageOutputs outputs = OutputsOf(options.target);
  if (Status s = CheckImageOutputs(outputs, planned.root)) return Fail(*s);
  SayLine("Nothing written (-n): the image would be " +
          std::to_string(std::uint64_t{planned.plan.totalSectors} * sector::SECTOR_SIZE) + " bytes");
  SayLine(ImageWrittenLine(outputs.bin, planned.plan.totalSectors));
  return ExitCode::Success;
}

}  // namespace

ExitCode RunTool(std::vector<std::string> args) {
  const ParsedArguments parsed = ParseToolArguments(std::move(args));
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
  if (Status s = BuildImageTree(options, root, KeepingInputsOpen(options.entries))) return Fail(*s);
  NameAndSortTree(options, root, SayLine);
  if (Status s = LayOutImage(options, root, planned.plan)) return Fail(*s);

  const std::string volumeName = options.volume && !options.volume->empty() ? *options.volume : "CDROM";
  const iso::VolumeInfo volume{MapVolumeName(volumeName), plan.volumeSpaceSize,
                               plan.pathTableBytes, plan.lTableSector, plan.mTableSector, &root};
  const ImageOutputs outputs = OutputsOf(options.target);
  if (Status s = CheckImageOutputs(outputs, root)) return Fail(*s);
  const Status written = WriteBin(outputs, plan, volume, dates);
  CloseInputs(root);
  if (written) return Fail(*written);
  if (Status s = WriteCueSheet(outputs.cue, CueSheetText(BaseName(outputs.bin), plan))) return Fail(*s);
  SayLine(ImageWrittenLine(outputs.bin, plan.totalSectors));
  return ExitCode::Success;
}
