#include "common/HeapReturn.h"

#include <malloc.h>

namespace {

constexpr int THRESHOLD_BYTES = 128 * 1024;

}  // namespace

void ReturnFreedMemoryPromptly() {
  // Either setting alone ends the raising of both; each is set for its own sake.
  mallopt(M_MMAP_THRESHOLD, THRESHOLD_BYTES);
  mallopt(M_TRIM_THRESHOLD, THRESHOLD_BYTES);
}
