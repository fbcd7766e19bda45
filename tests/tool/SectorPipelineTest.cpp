// The encode-and-write pipeline: batches come out encoded, whole and in the
// order they went in, whatever the number of workers (none: all inline), and
// after a failed write nothing more is written while the caller can go on.
#include <gtest/gtest.h>

#include <random>

#include "tool/SectorPipeline.h"

using namespace sector;

namespace {

constexpr std::size_t PER_BATCH = 150;  // not a multiple of the pieces the workers take

// Fills a batch with random user data and subheaders of both forms.
void Fill(SectorPipeline::Batch& b, std::uint32_t first, std::size_t count, std::mt19937& rng) {
  b.firstSector = first;
  b.sectors = count;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* s = b.bytes.data() + i * SECTOR_SIZE;
    for (std::size_t k = USER_DATA_OFFSET; k < SECTOR_SIZE; ++k) s[k] = static_cast<std::uint8_t>(rng());
    const std::uint8_t submode = static_cast<std::uint8_t>(SUBMODE_DATA | (rng() % 2 ? SUBMODE_FORM2 : 0));
    const std::uint8_t sh[4] = {1, 0, submode, 0};
    std::copy(sh, sh + 4, s + SUBHEADER_OFFSET);
  }
}

// What the pipeline must write for those sectors: each encoded on its own.
std::vector<std::uint8_t> EncodedOneByOne(const SectorPipeline::Batch& b) {
  std::vector<std::uint8_t> out(b.bytes.begin(), b.bytes.begin() + static_cast<std::ptrdiff_t>(b.sectors * SECTOR_SIZE));
  for (std::size_t i = 0; i < b.sectors; ++i)
    EncodeSector(SectorSpan(out.data() + i * SECTOR_SIZE, SECTOR_SIZE), b.firstSector + static_cast<std::uint32_t>(i),
                 *SupportedCodePaths().front());
  return out;
}

}  // namespace

TEST(ToolSectorPipeline, WritesEveryBatchEncodedAndInOrder) {
  for (int workers : {0, 1, 3, 8}) {
    std::vector<std::uint8_t> written, expected;
    {
      SectorPipeline pipeline(3, PER_BATCH, workers, [&](const SectorPipeline::Batch& b) {
        written.insert(written.end(), b.bytes.begin(), b.bytes.begin() + static_cast<std::ptrdiff_t>(b.sectors * SECTOR_SIZE));
        return Status{};
      });
      std::mt19937 rng(static_cast<unsigned>(workers));
      std::uint32_t next = 0;
      for (int n = 0; n < 12; ++n) {
        SectorPipeline::Batch& b = pipeline.Acquire();
        const std::size_t count = n == 11 ? 7 : PER_BATCH;  // a short last batch
        Fill(b, next, count, rng);
        const std::vector<std::uint8_t> e = EncodedOneByOne(b);
        expected.insert(expected.end(), e.begin(), e.end());
        next += static_cast<std::uint32_t>(count);
        pipeline.Submit(b);
      }
      pipeline.Drain();
      EXPECT_FALSE(pipeline.Error()) << workers << " workers";
    }
    EXPECT_EQ(written.size(), expected.size()) << workers << " workers";
    EXPECT_TRUE(written == expected) << workers << " workers";
  }
}

TEST(ToolSectorPipeline, AfterAFailedWriteNothingMoreIsWritten) {
  for (int workers : {0, 2}) {
    int writes = 0;
    SectorPipeline pipeline(2, PER_BATCH, workers, [&](const SectorPipeline::Batch&) -> Status {
      return ++writes == 3 ? OutputError("Cannot write disc.bin: No space left on device") : Status{};
    });
    std::mt19937 rng(5);
    for (int n = 0; n < 10; ++n) {  // more batches than buffers: every one must come back
      SectorPipeline::Batch& b = pipeline.Acquire();
      Fill(b, static_cast<std::uint32_t>(n * PER_BATCH), PER_BATCH, rng);
      pipeline.Submit(b);
    }
    pipeline.Drain();
    EXPECT_EQ(writes, 3) << workers << " workers";
    ASSERT_TRUE(pipeline.Error());
    EXPECT_EQ(pipeline.Error()->message, "Cannot write disc.bin: No space left on device");
  }
}
