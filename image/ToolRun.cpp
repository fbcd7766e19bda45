#include "image/ToolRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

constexpr int POLL_PERIOD_MS = 100;
constexpr std::size_t READ_CHUNK_BYTES = 4096;
// What one poll reads at most from each pipe: a tool that writes without end
// must not hold the window. (More than a pipe holds, so that the last poll
// after the end still finds everything the tool wrote.)
constexpr std::size_t READ_BYTES_PER_POLL = 1024 * 1024;
// What is kept of the error output for the end message: its tail.
constexpr std::size_t ERROR_KEEP_BYTES = 64 * 1024;

struct Pipe {
  int read = -1;
  int write = -1;
  bool Open() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    read = fds[0];
    write = fds[1];
    return fcntl(read, F_SETFL, O_NONBLOCK) == 0;
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

// The child: stdin from /dev/null, stdout and stderr into the pipes, a
// session and process group of its own (so Stop reaches its children),
// default signal handling.
pid_t Spawn(const std::vector<const char*>& argv, const Pipe& out, const Pipe& err) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                      POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, &attr,
                             const_cast<char* const*>(argv.data()), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

ToolEnd EndFromWaitStatus(int status) {
  if (WIFSIGNALED(status)) return ToolEnd{true, WTERMSIG(status)};
  return ToolEnd{false, WEXITSTATUS(status)};
}

}  // namespace

std::unique_ptr<ToolRun> ToolRun::Start(const std::string& program,
                                        const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(program.c_str());
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);

  Pipe out, err;
  const pid_t pid = out.Open() && err.Open() ? Spawn(argv, out, err) : -1;
  out.CloseWrite();
  err.CloseWrite();
  if (pid <= 0) {
    out.CloseAll();
    err.CloseAll();
    return nullptr;
  }
  std::unique_ptr<ToolRun> run(new ToolRun());
  run->m_pid = pid;
  run->m_outFd = out.read;
  run->m_errFd = err.read;
  run->m_pollTimer.SetOwner(run.get());
  run->Bind(wxEVT_TIMER, [r = run.get()](wxTimerEvent&) { r->Poll(); });
  run->m_pollTimer.Start(POLL_PERIOD_MS);
  return run;
}

ToolRun::~ToolRun() {
  m_pollTimer.Stop();
  if (!m_ended && m_pid > 0) {
    kill(-m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (m_outFd >= 0) close(m_outFd);
  if (m_errFd >= 0) close(m_errFd);
}

void ToolRun::ShowIn(ToolConsole* console) { m_console = console; }

void ToolRun::Poll() {
  ReadPipe(m_outFd, false);
  ReadPipe(m_errFd, true);
  if (m_ended) return;
  int status = 0;
  if (waitpid(m_pid, &status, WNOHANG) != m_pid) return;
  m_end = EndFromWaitStatus(status);
  m_ended = true;
  // What the tool wrote last is in the pipes by now.
  ReadPipe(m_outFd, false);
  ReadPipe(m_errFd, true);
}

void ToolRun::ReadPipe(int& fd, bool isErrorPipe) {
  if (fd < 0) return;
  std::string data;  // shown in one piece: the console appends once per poll
  std::string chunk(READ_CHUNK_BYTES, '\0');
  while (data.size() < READ_BYTES_PER_POLL) {
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
  if (!data.empty()) Append(data, isErrorPipe);
}

void ToolRun::Append(const std::string& chunk, bool isErrorPipe) {
  if (m_console) m_console->Append(chunk);
  if (!isErrorPipe) return;
  m_errors += chunk;
  if (m_errors.size() > 2 * ERROR_KEEP_BYTES) {
    m_errors.erase(0, m_errors.size() - ERROR_KEEP_BYTES);
  }
}
