#include "tool/InputRing.h"

#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

struct InputRing::Sqe : io_uring_sqe {};

namespace {

int RingSetup(unsigned entries, io_uring_params& params) {
  return static_cast<int>(::syscall(__NR_io_uring_setup, entries, &params));
}

int RingEnter(int fd, unsigned toSubmit, unsigned minComplete, unsigned flags) {
  return static_cast<int>(::syscall(__NR_io_uring_enter, fd, toSubmit, minComplete, flags, nullptr, 0));
}

void* MapRing(int fd, std::size_t bytes, off_t offset) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, offset);
  return p == MAP_FAILED ? nullptr : p;
}

template <typename T>
T* At(void* base, std::uint32_t offset) {
  return reinterpret_cast<T*>(static_cast<char*>(base) + offset);
}

// The path a look through a descriptor names: none.
const char EMPTY_PATH[] = "";

}  // namespace

std::unique_ptr<InputRing> InputRing::Create(unsigned entries) {
  io_uring_params params{};
  const int fd = RingSetup(entries, params);
  if (fd < 0) return nullptr;
  auto ring = std::make_unique<InputRing>(OnlyCreate{});
  ring->m_fd = fd;
  ring->m_entries = params.sq_entries;
  ring->m_sqRingBytes = params.sq_off.array + params.sq_entries * sizeof(unsigned);
  ring->m_cqRingBytes = params.cq_off.cqes + params.cq_entries * sizeof(io_uring_cqe);
  ring->m_sqesBytes = params.sq_entries * sizeof(io_uring_sqe);
  ring->m_sqRing = MapRing(fd, ring->m_sqRingBytes, IORING_OFF_SQ_RING);
  ring->m_cqRing = MapRing(fd, ring->m_cqRingBytes, IORING_OFF_CQ_RING);
  ring->m_sqes = MapRing(fd, ring->m_sqesBytes, IORING_OFF_SQES);
  if (!ring->m_sqRing || !ring->m_cqRing || !ring->m_sqes) return nullptr;
  ring->m_sqTail = At<unsigned>(ring->m_sqRing, params.sq_off.tail);
  ring->m_sqMask = At<unsigned>(ring->m_sqRing, params.sq_off.ring_mask);
  ring->m_sqArray = At<unsigned>(ring->m_sqRing, params.sq_off.array);
  ring->m_cqHead = At<unsigned>(ring->m_cqRing, params.cq_off.head);
  ring->m_cqTail = At<unsigned>(ring->m_cqRing, params.cq_off.tail);
  ring->m_cqMask = At<unsigned>(ring->m_cqRing, params.cq_off.ring_mask);
  ring->m_cqes = At<void>(ring->m_cqRing, params.cq_off.cqes);
  return ring;
}

InputRing::~InputRing() {
  if (m_sqes) ::munmap(m_sqes, m_sqesBytes);
  if (m_cqRing) ::munmap(m_cqRing, m_cqRingBytes);
  if (m_sqRing) ::munmap(m_sqRing, m_sqRingBytes);
  if (m_fd >= 0) ::close(m_fd);
}

InputRing::Sqe& InputRing::NextSqe() {
  const unsigned tail = *m_sqTail;  // only this thread moves it
  const unsigned index = tail & *m_sqMask;
  m_sqArray[index] = index;
  Sqe& sqe = static_cast<Sqe*>(m_sqes)[index];
  std::memset(&sqe, 0, sizeof sqe);
  std::atomic_ref<unsigned>(*m_sqTail).store(tail + 1, std::memory_order_release);
  return sqe;
}

bool InputRing::SubmitAndWait(unsigned count, std::span<std::int32_t> results) {
  unsigned submitted = 0, reaped = 0;
  while (reaped < count) {
    const int n = RingEnter(m_fd, count - submitted, count - reaped, IORING_ENTER_GETEVENTS);
    if (n < 0 && errno != EINTR) {
      m_unsettled = submitted > reaped;
      return false;
    }
    if (n > 0) submitted += static_cast<unsigned>(n);
    unsigned head = *m_cqHead;
    const unsigned tail = std::atomic_ref<unsigned>(*m_cqTail).load(std::memory_order_acquire);
    for (; head != tail; ++head, ++reaped) {
      const io_uring_cqe& cqe = static_cast<const io_uring_cqe*>(m_cqes)[head & *m_cqMask];
      if (cqe.user_data < results.size()) results[cqe.user_data] = cqe.res;
    }
    std::atomic_ref<unsigned>(*m_cqHead).store(head, std::memory_order_release);
  }
  return true;
}

bool InputRing::OpenAndLook(std::span<const RingOpen> requests, int flags, std::span<RingOpened> out) {
  if (m_broken || requests.size() > m_entries || out.size() < requests.size()) return false;
  const auto count = static_cast<unsigned>(requests.size());
  std::vector<std::int32_t> results(count, -EIO);
  for (unsigned i = 0; i < count; ++i) {
    Sqe& sqe = NextSqe();
    sqe.opcode = IORING_OP_OPENAT;
    sqe.fd = requests[i].folderFd;
    sqe.addr = reinterpret_cast<std::uintptr_t>(requests[i].name);
    sqe.open_flags = static_cast<std::uint32_t>(flags);
    sqe.user_data = i;
  }
  const bool opened = SubmitAndWait(count, results);
  unsigned looks = 0;
  for (unsigned i = 0; i < count; ++i) {
    out[i] = RingOpened{};
    if (results[i] >= 0) out[i].fd = results[i];
    if (!opened || out[i].fd < 0) continue;
    Sqe& sqe = NextSqe();
    sqe.opcode = IORING_OP_STATX;
    sqe.fd = out[i].fd;
    sqe.addr = reinterpret_cast<std::uintptr_t>(EMPTY_PATH);
    sqe.statx_flags = AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT;
    sqe.len = STATX_BASIC_STATS;
    sqe.off = reinterpret_cast<std::uintptr_t>(&out[i].st);
    sqe.user_data = i;
    ++looks;
  }
  std::fill(results.begin(), results.end(), -EIO);
  if (!opened || (looks > 0 && !SubmitAndWait(looks, results))) {
    // What a failed ring has given is not to be trusted: give it all back.
    m_broken = true;
    for (unsigned i = 0; i < count; ++i)
      if (out[i].fd >= 0) ::close(out[i].fd), out[i].fd = -1;
    return false;
  }
  constexpr unsigned NEEDED = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_INO;
  for (unsigned i = 0; i < count; ++i)
    out[i].looked = out[i].fd >= 0 && results[i] == 0 && (out[i].st.stx_mask & NEEDED) == NEEDED;
  return true;
}

bool InputRing::Read(std::span<const RingRead> requests, std::span<std::int32_t> out) {
  if (m_broken || requests.size() > m_entries || out.size() < requests.size()) return false;
  const auto count = static_cast<unsigned>(requests.size());
  for (unsigned i = 0; i < count; ++i) {
    out[i] = -EIO;
    Sqe& sqe = NextSqe();
    sqe.opcode = IORING_OP_READV;
    sqe.fd = requests[i].fd;
    sqe.addr = reinterpret_cast<std::uintptr_t>(requests[i].iov);
    sqe.len = requests[i].count;
    sqe.off = requests[i].offset;
    sqe.user_data = i;
  }
  if (SubmitAndWait(count, out)) return true;
  m_broken = true;
  return false;
}
