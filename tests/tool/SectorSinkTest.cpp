// The sector sink's guard: exactly the planned number of sectors reaches the
// image, and a writer that plans one sector more or less is told so.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include "ToolTestSupport.h"
#include "tool/SectorSink.h"

namespace {

constexpr sector::Subheader DATA_SUBHEADER = {0, 0, sector::SUBMODE_DATA, 0};

// Puts `count` sectors into a sink planned for `planned`; the first failure
// of a put (or of finish) comes back with the number of puts that succeeded.
struct SinkRun {
  Status failure;
  std::uint32_t accepted = 0;
  std::uint64_t fileBytes = 0;
};

SinkRun PutSectors(const ScratchDir& dir, std::uint32_t planned, std::uint32_t count) {
  const std::string path = dir / "sink.bin";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  SinkRun run;
  {
    SectorSink sink(fd, path, planned, nullptr);
    for (std::uint32_t i = 0; i < count && !run.failure; ++i) {
      run.failure = i % 2 ? sink.PutForm2({}, DATA_SUBHEADER) : sink.PutForm1({}, DATA_SUBHEADER);
      if (!run.failure) ++run.accepted;
    }
    if (!run.failure) run.failure = sink.Finish();
  }
  ::close(fd);
  run.fileBytes = ReadFile(path).size();
  return run;
}

}  // namespace

TEST(ToolSectorSink, WritesExactlyThePlannedSectorsAndRefusesOneMoreOrLess) {
  ScratchDir dir;
  // Around the sink's buffer size too, where a buffer is handed to a write.
  for (const std::uint32_t planned : {1u, 3u, static_cast<std::uint32_t>(SectorSink::SECTORS_PER_WRITE),
                                      static_cast<std::uint32_t>(SectorSink::SECTORS_PER_WRITE) + 1}) {
    const SinkRun exact = PutSectors(dir, planned, planned);
    EXPECT_FALSE(exact.failure) << planned << ": " << exact.failure->message;
    EXPECT_EQ(exact.fileBytes, std::uint64_t{planned} * sector::SECTOR_SIZE) << planned;

    const SinkRun fewer = PutSectors(dir, planned, planned - 1);
    ASSERT_TRUE(fewer.failure) << planned << ": one sector short passed";
    EXPECT_EQ(fewer.failure->code, ExitCode::OutputError);
    EXPECT_NE(fewer.failure->message.find(std::to_string(planned - 1) + " sectors written, " +
                                          std::to_string(planned) + " planned"),
              std::string::npos)
        << fewer.failure->message;

    const SinkRun more = PutSectors(dir, planned, planned + 1);
    ASSERT_TRUE(more.failure) << planned << ": one sector more passed";
    EXPECT_EQ(more.accepted, planned) << "the sector beyond the plan was taken";
    EXPECT_NE(more.failure->message.find("more sectors than planned"), std::string::npos) << more.failure->message;
    EXPECT_LE(more.fileBytes, std::uint64_t{planned} * sector::SECTOR_SIZE);
  }
}
