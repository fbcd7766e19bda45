// brenvox.exe: writes a CD-ROM XA Mode 2 image (TARGET.bin + TARGET.cue), or
// reads one back (--extract, --check).
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tool/ImageReadRuns.h"
#include "tool/ToolArguments.h"
#include "tool/ToolRun.h"

namespace {

// What a layout entry costs on the heap besides its own characters: the
// argument, its entry, its node in the image tree, its name and the names
// checked for clashes (about 250 bytes were measured; a little more is
// better than page faults).
constexpr std::size_t HEAP_BYTES_PER_ARGUMENT = 256;
// Below this the faults cost nothing worth a call; above it the estimate is
// capped, so that a run never holds more than it is about to use.
constexpr std::size_t LEAST_HEAP_TO_PLACE = 1 << 20;
constexpr std::size_t MOST_HEAP_TO_PLACE = 32 << 20;

// A run builds its tree of tens of thousands of small blocks once and frees
// nothing until it ends, so the heap is set up for a short life:
// - every block, however large (the sector batches too), comes from the one
//   heap, and freeing never gives memory back: memory that stays in the
//   process costs nothing (it ends soon), while handing it back, once the
//   pipeline's threads have run, makes the system stop the other processors
//   to forget the pages;
// - the threads share that heap instead of making one each (they allocate
//   next to nothing), which would map and cut a large region per thread;
// - the heap the arguments will take has its pages put in place in one call,
//   which costs far less than a fault on each page as it is first used. Where
//   the system cannot, the pages come one by one as before.
void SetUpHeapFor(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * MOST_HEAP_TO_PLACE));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * MOST_HEAP_TO_PLACE));
  mallopt(M_ARENA_MAX, 1);
  std::size_t bytes = 0;
  for (int i = 1; i < argc; ++i) bytes += std::strlen(argv[i]) + HEAP_BYTES_PER_ARGUMENT;
  if (bytes < LEAST_HEAP_TO_PLACE) return;
  bytes = std::min(bytes, MOST_HEAP_TO_PLACE);
  void* block = std::malloc(bytes);
  if (!block) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t end = (begin + bytes) / page * page;
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
  std::free(block);  // back to the top of the heap, its pages in place
}

}  // namespace

int main(int argc, char** argv) {
  // The image is the product, the progress lines only information: a reader
  // that goes away must not end the run halfway.
  std::signal(SIGPIPE, SIG_IGN);
  SetUpHeapFor(argc, argv);
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (const auto text = InformationRequest(args)) {
    // An answer that cannot be written whole is a failure, not a success.
    const bool written = std::fputs(text->c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? 0 : 1;
  }
  if (const auto read = RunReadRequest(args)) return static_cast<int>(*read);
  return static_cast<int>(RunTool(std::move(args)));
}
