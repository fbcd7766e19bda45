// One sector's arithmetic on each code path against a copy of its user data:
// EDC over a Form 1 sector's 2,056 covered bytes, ECC P and Q, the whole Form 1
// and Form 2 encoders, and a 2 KB memcpy as the yardstick: within the caches,
// and streaming from a large source as the writer copies file data.
//
//   cmake --build build --target sector_bench && build/bin/sector_bench
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "tool/SectorCode.h"

using namespace sector;

namespace {

std::array<std::uint8_t, SECTOR_SIZE> RandomSector() {
  std::array<std::uint8_t, SECTOR_SIZE> s;
  std::mt19937 rng(1);
  for (auto& b : s) b = static_cast<std::uint8_t>(rng());
  return s;
}

void Memcpy2K(benchmark::State& state) {
  auto from = RandomSector(), to = RandomSector();
  for (auto _ : state) {
    std::memcpy(to.data() + USER_DATA_OFFSET, from.data() + USER_DATA_OFFSET, FORM1_DATA_SIZE);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FORM1_DATA_SIZE));
}

// The copy the writer makes of every sector's data: from a source far larger
// than the caches (the page cache, in the tool) into a 2.4 MB write buffer.
void Memcpy2KStreaming(benchmark::State& state) {
  constexpr std::size_t SOURCE_BYTES = std::size_t{256} << 20, SLOTS = 1024;
  std::vector<std::uint8_t> source(SOURCE_BYTES, 1), buffer(SLOTS * SECTOR_SIZE);
  std::size_t from = 0, slot = 0;
  for (auto _ : state) {
    std::memcpy(buffer.data() + slot * SECTOR_SIZE + USER_DATA_OFFSET, source.data() + from, FORM1_DATA_SIZE);
    benchmark::ClobberMemory();
    from = from + FORM1_DATA_SIZE == SOURCE_BYTES ? 0 : from + FORM1_DATA_SIZE;
    slot = slot + 1 == SLOTS ? 0 : slot + 1;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FORM1_DATA_SIZE));
}

// EDC and ECC of the sectors of a 2.4 MB write buffer in turn (as the tool does).
void EdcAndEccStreaming(benchmark::State& state, const CodePath* path) {
  constexpr std::size_t SLOTS = 1024;
  std::vector<std::uint8_t> buffer(SLOTS * SECTOR_SIZE, 7);
  std::size_t slot = 0;
  for (auto _ : state) {
    std::uint8_t* s = buffer.data() + slot * SECTOR_SIZE;
    benchmark::DoNotOptimize(path->edc(s + SUBHEADER_OFFSET, FORM1_EDC_OFFSET - SUBHEADER_OFFSET, 0));
    path->ecc(s);
    benchmark::ClobberMemory();
    slot = slot + 1 == SLOTS ? 0 : slot + 1;
  }
}

void EdcOnly(benchmark::State& state, const CodePath* path) {
  auto s = RandomSector();
  for (auto _ : state) benchmark::DoNotOptimize(path->edc(s.data() + SUBHEADER_OFFSET, FORM1_EDC_OFFSET - SUBHEADER_OFFSET, 0));
}

void Ecc(benchmark::State& state, const CodePath* path) {
  auto s = RandomSector();
  for (auto _ : state) {
    path->ecc(s.data());
    benchmark::ClobberMemory();
  }
}

void EdcAndEcc(benchmark::State& state, const CodePath* path) {
  auto s = RandomSector();
  for (auto _ : state) {
    benchmark::DoNotOptimize(path->edc(s.data() + SUBHEADER_OFFSET, FORM1_EDC_OFFSET - SUBHEADER_OFFSET, 0));
    path->ecc(s.data());
    benchmark::ClobberMemory();
  }
}

void EncodeForm1Sector(benchmark::State& state, const CodePath* path) {
  auto s = RandomSector();
  for (auto _ : state) {
    sector::EncodeForm1(s, 1000, {0, 0, SUBMODE_DATA, 0}, *path);
    benchmark::ClobberMemory();
  }
}

void EncodeForm2Sector(benchmark::State& state, const CodePath* path) {
  auto s = RandomSector();
  for (auto _ : state) {
    sector::EncodeForm2(s, 1000, {1, 0, SUBMODE_DATA, 0}, *path);
    benchmark::ClobberMemory();
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("Memcpy2K", Memcpy2K);
  benchmark::RegisterBenchmark("Memcpy2KStreaming", Memcpy2KStreaming);
  for (const CodePath* path : SupportedCodePaths()) {
    const std::string name = path->name;
    benchmark::RegisterBenchmark(("Edc/" + name).c_str(), EdcOnly, path);
    benchmark::RegisterBenchmark(("Ecc/" + name).c_str(), Ecc, path);
    benchmark::RegisterBenchmark(("EdcAndEcc/" + name).c_str(), EdcAndEcc, path);
    benchmark::RegisterBenchmark(("EdcAndEccStreaming/" + name).c_str(), EdcAndEccStreaming, path);
    benchmark::RegisterBenchmark(("EncodeForm1/" + name).c_str(), EncodeForm1Sector, path);
    benchmark::RegisterBenchmark(("EncodeForm2/" + name).c_str(), EncodeForm2Sector, path);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
