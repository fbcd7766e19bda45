// The sector sink's guard: exactly the planned number of sectors reaches the
// image, and a writer that plans one sector more or less is told so. Runs of
// empty sectors come out as the same sectors put one by one.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <random>

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

// The bytes a sink planned for `planned` sectors writes when `fill` puts them.
std::vector<std::uint8_t> SinkBytes(const ScratchDir& dir, std::uint32_t planned,
                                    const std::function<Status(SectorSink&)>& fill) {
  const std::string path = dir / "sink.bin";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  Status s;
  {
    SectorSink sink(fd, path, planned, nullptr);
    s = fill(sink);
    if (!s) s = sink.Finish();
  }
  ::close(fd);
  EXPECT_FALSE(s) << s->message;
  return ReadFile(path);
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

// Runs of empty sectors of either form and any subheader, between sectors
// with data and across batches, in an image written without threads and in
// one written by them.
TEST(ToolSectorSink, EmptyRunsAreTheSectorsPutOneByOne) {
  ScratchDir dir;
  for (const std::uint32_t planned : {SectorSink::MOST_SECTORS_WITHOUT_THREADS, 3000u}) {
    struct Run {
      std::uint32_t count;
      SectorSink::Form form;
      sector::Subheader subheader;
    };
    std::mt19937 rng(planned);
    std::vector<Run> runs;
    const std::vector<std::uint8_t> data = PatternBytes(1000, 4);
    for (std::uint32_t total = 0; total < planned;) {
      const auto count = std::min<std::uint32_t>(static_cast<std::uint32_t>(rng() % 300), planned - total - 1);
      const auto b = [&rng] { return static_cast<std::uint8_t>(rng()); };
      runs.push_back({count, rng() % 2 ? SectorSink::Form::Two : SectorSink::Form::One, {b(), b(), b(), b()}});
      total += count + 1;  // and one sector with data after it
    }
    const auto put = [&](bool oneByOne) {
      return [&, oneByOne](SectorSink& sink) -> Status {
        for (const Run& run : runs) {
          for (std::uint32_t i = 0; oneByOne && i < run.count; ++i)
            if (Status s = run.form == SectorSink::Form::One ? sink.PutForm1({}, run.subheader)
                                                             : sink.PutForm2({}, run.subheader))
              return s;
          if (!oneByOne)
            if (Status s = sink.PutEmpty(run.count, run.form, run.subheader)) return s;
          if (Status s = sink.PutForm1(data, DATA_SUBHEADER)) return s;
        }
        return std::nullopt;
      };
    };
    const std::vector<std::uint8_t> expected = SinkBytes(dir, planned, put(true));
    ASSERT_EQ(expected.size(), std::uint64_t{planned} * sector::SECTOR_SIZE);
    EXPECT_TRUE(SinkBytes(dir, planned, put(false)) == expected) << planned << " sectors";
  }
}
