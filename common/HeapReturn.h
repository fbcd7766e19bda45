// How the program's freed memory goes back to the system.
#pragma once

// Fixes the allocator's thresholds at their defaults (128 KiB), once at the
// start: a block that large gets pages of its own, returned when it is
// freed, and a thread's heap returns the free space at its top. Left to
// itself glibc raises both thresholds after the first large block is freed
// (up to 32 and 64 MiB), and then the builds and plans of a large layout
// leave tens of megabytes behind in the heaps, where malloc_trim does not
// reach them (it leaves a thread's heap top alone).
void ReturnFreedMemoryPromptly();
