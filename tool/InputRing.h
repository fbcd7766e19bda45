// Opens many input files, and looks each up through its descriptor, with a
// few system calls: the opens of a batch, then the looks at what they opened,
// go to the kernel together through an io_uring. On a system where a system
// call is dear this halves what a small file costs. Where there is no
// io_uring, or it is refused (a container's system-call filter may), Create
// gives nothing and the caller opens file by file.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>

#include <cstdint>
#include <memory>
#include <span>

// Setting a ring up and taking it down costs about what the plain calls for a
// few hundred files cost: fewer files are opened and read the plain way.
inline constexpr std::size_t LEAST_FILES_FOR_A_RING = 256;

struct RingOpen {
  int folderFd = AT_FDCWD;   // what `name` is relative to
  const char* name = nullptr;
};

struct RingOpened {
  int fd = -1;                 // the descriptor, or -1 when the open failed
  bool looked = false;         // `st` holds the size, type, time and identity
  struct statx st {};
};

struct RingRead {
  int fd = -1;
  const struct iovec* iov = nullptr;  // stays in place until Read returns
  unsigned count = 0;
  std::uint64_t offset = 0;
};

class InputRing {
  struct OnlyCreate {  // the constructor is for Create alone
    explicit OnlyCreate() = default;
  };

 public:
  explicit InputRing(OnlyCreate) {}
  // A ring for batches of up to `entries` files; nothing when the system has
  // none to give.
  static std::unique_ptr<InputRing> Create(unsigned entries);
  ~InputRing();
  InputRing(const InputRing&) = delete;
  InputRing& operator=(const InputRing&) = delete;

  unsigned Capacity() const { return m_entries; }

  // Opens every request (at most Capacity) with `flags`, then looks at each
  // file opened. A failed open or look is only marked: the caller does it
  // again the plain way, for the reason. False when the ring itself failed
  // (every descriptor it gave is closed again, and it is not to be used more).
  bool OpenAndLook(std::span<const RingOpen> requests, int flags, std::span<RingOpened> out);

  // Reads every request (at most Capacity): out[i] is what one readv would
  // have returned, the bytes read or -errno. False when the ring itself
  // failed; then nothing in `out` is to be trusted.
  bool Read(std::span<const RingRead> requests, std::span<std::int32_t> out);
  // After a failure: whether requests may still be under way (reads still
  // filling their buffers), so that nothing they read into may be used.
  bool Unsettled() const { return m_unsettled; }

 private:
  struct Sqe;
  Sqe& NextSqe();
  // Submits `count` queued entries and gathers their results by index.
  bool SubmitAndWait(unsigned count, std::span<std::int32_t> results);

  int m_fd = -1;
  unsigned m_entries = 0;
  void* m_sqRing = nullptr;
  std::size_t m_sqRingBytes = 0;
  void* m_cqRing = nullptr;
  std::size_t m_cqRingBytes = 0;
  void* m_sqes = nullptr;
  std::size_t m_sqesBytes = 0;
  unsigned *m_sqTail = nullptr, *m_sqMask = nullptr, *m_sqArray = nullptr;
  unsigned *m_cqHead = nullptr, *m_cqTail = nullptr, *m_cqMask = nullptr;
  void* m_cqes = nullptr;
  bool m_broken = false;
  bool m_unsettled = false;
};
