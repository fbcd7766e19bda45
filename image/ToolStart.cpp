#include "image/ToolStart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/PosixFile.h"
#include "common/Translate.h"

extern char** environ;

namespace {

struct Pipe {
  int read = -1;
  int write = -1;
  bool Open() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    read = fds[0];
    write = fds[1];
    return true;
  }
  void CloseWrite() {
    if (write >= 0) close(write);
    write = -1;
  }
  void CloseAll() {
    CloseWrite();
    if (read >= 0) close(read);
    read = -1;
  }
};

// Every descriptor from 3 up is closed at the exec, but for `kept` (-1: none):
// the window's own (the display's, a file being read) never reach the tool.
void CloseOnExecAllBut(int kept) {
  constexpr unsigned FIRST = 3;
  if (kept < static_cast<int>(FIRST)) {
    close_range(FIRST, ~0U, CLOSE_RANGE_CLOEXEC);
    return;
  }
  const unsigned keptFd = static_cast<unsigned>(kept);
  if (keptFd > FIRST) close_range(FIRST, keptFd - 1, CLOSE_RANGE_CLOEXEC);
  close_range(keptFd + 1, ~0U, CLOSE_RANGE_CLOEXEC);
  fcntl(kept, F_SETFD, 0);
}

// In the forked child: only async-signal-safe calls until the exec.
[[noreturn]] void BecomeTool(const char* program, char* const* argv, int outFd, int errFd,
                             int inheritedFd, pid_t window, int reportFd) {
  // Bound to the window: when its process ends, so does the tool. Checked
  // once more afterwards, in case the window ended before the binding.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != window) _exit(127);
  setsid();  // a process group of its own: Stop reaches the tool's children
  const int nothing = open("/dev/null", O_RDONLY);
  if (nothing < 0 || dup2(nothing, STDIN_FILENO) < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
      dup2(errFd, STDERR_FILENO) < 0) {
    const int error = errno;
    (void)!write(reportFd, &error, sizeof error);
    _exit(127);
  }
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &standard, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  CloseOnExecAllBut(inheritedFd);
  execve(program, argv, environ);
  const int error = errno;
  (void)!write(reportFd, &error, sizeof error);
  _exit(127);
}

// The file for "@/dev/fd/N": anonymous, in memory, so that it has no name on
// disk at any moment and nothing is left behind however the window ends. Its
// descriptor is close-on-exec (only the tool is given it) and above the
// standard streams, which the child replaces. -1 with *error set on failure.
int WriteArgumentMemoryFile(const std::string& text, int* error) {
  OwnedFd fd(memfd_create("brenvox-arguments", MFD_CLOEXEC));
  if (fd.Valid() && fd.Get() <= STDERR_FILENO) fd = OwnedFd(fcntl(fd.Get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
  if (!fd.Valid()) {
    *error = errno;
    return -1;
  }
  if ((*error = WriteAll(fd.Get(), text.data(), text.size())) != 0) return -1;
  return fd.Release();
}

}  // namespace

pid_t SpawnBoundChild(const std::string& program, const std::vector<std::string>& args,
                      int outFd, int errFd, int* error, int inheritedFd) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // The child reports a failed exec through this pipe; a successful exec
  // closes it (close-on-exec) with nothing written.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    *error = errno;
    return -1;
  }
  const pid_t window = getpid();
  const pid_t pid = fork();
  if (pid == 0) BecomeTool(program.c_str(), argv.data(), outFd, errFd, inheritedFd, window, report[1]);
  const int forkError = errno;
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    *error = forkError;
    return -1;
  }
  int childError = 0;
  ssize_t got;
  while ((got = read(report[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof childError)) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    *error = childError;
    return -1;
  }
  return pid;
}

bool RenderArgumentFile(const CommandLine& entries, std::string& text) {
  for (const CommandEntry& entry : entries)
    if (entry.hasValue && (entry.value.empty() || entry.value.find('"') != std::string::npos)) return false;
  text = RenderStructureFile(entries);
  return true;
}

StartedTool StartTool(const std::string& program, const CommandLine& entries) {
  StartedTool started;
  Pipe out, err;
  if (!out.Open() || !err.Open()) {
    started.error = std::strerror(errno);
    out.CloseAll();
    err.CloseAll();
    return started;
  }
  int error = 0;
  pid_t pid = SpawnBoundChild(program, RenderArguments(entries), out.write, err.write, &error);
  if (pid < 0 && error == E2BIG) {
    // Too long for one argument list: the entries go through a file.
    std::string text;
    OwnedFd file;
    if (!RenderArgumentFile(entries, text)) {
      started.error = TranslatedFormat("%s, and a path or name holds a double quote, which an argument file cannot hold",
                                       std::strerror(E2BIG));
    } else if (file = OwnedFd(WriteArgumentMemoryFile(text, &error)); !file.Valid()) {
      started.error = TranslatedFormat("%s, and no argument file could be written: %s", std::strerror(E2BIG),
                                       std::strerror(error));
    } else {
      const std::string name = "/dev/fd/" + std::to_string(file.Get());
      pid = SpawnBoundChild(program, {"@" + name}, out.write, err.write, &error, file.Get());
      if (pid > 0) started.argumentFile = name;
    }
  }
  out.CloseWrite();
  err.CloseWrite();
  if (pid < 0) {
    if (started.error.empty()) started.error = std::strerror(error);
    out.CloseAll();
    err.CloseAll();
    return started;
  }
  fcntl(out.read, F_SETFL, O_NONBLOCK);
  fcntl(err.read, F_SETFL, O_NONBLOCK);
  started.pid = pid;
  started.outFd = out.read;
  started.errFd = err.read;
  return started;
}

std::string ReadAvailable(int& fd, std::size_t maxBytes, std::size_t chunkBytes) {
  std::string data;
  if (fd < 0) return data;
  std::string chunk(chunkBytes, '\0');
  while (data.size() < maxBytes) {
    const ssize_t got = read(fd, chunk.data(), chunk.size());
    if (got > 0) {
      data.append(chunk.data(), static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) {  // every writer has closed it
      close(fd);
      fd = -1;
    }
    break;  // EAGAIN: nothing more for now
  }
  return data;
}
