#include "image/window/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "image/ToolStart.h"

namespace {

constexpr int POLL_PERIOD_MS = 100;
constexpr std::size_t READ_CHUNK_BYTES = 4096;
// What one poll reads at most from each pipe: a tool that writes without end
// must not hold the window. (More than a pipe holds, so that the last poll
// after the end still finds everything the tool wrote.)
constexpr std::size_t READ_BYTES_PER_POLL = 1024 * 1024;
// What is kept of the error output for the end message: its tail.
constexpr std::size_t ERROR_KEEP_BYTES = 64 * 1024;

ToolEnd EndFromWaitStatus(int status) {
  if (WIFSIGNALED(status)) return ToolEnd{true, WTERMSIG(status)};
  return ToolEnd{false, WEXITSTATUS(status)};
}

}  // namespace

std::unique_ptr<ToolProcess> ToolProcess::Start(const std::string& program,
                                                const CommandLine& entries, std::string* error) {
  StartedTool started = StartTool(program, entries);
  if (started.pid <= 0) {
    if (error) *error = started.error;
    return nullptr;
  }
  std::unique_ptr<ToolProcess> run(new ToolProcess());
  run->m_pid = started.pid;
  run->m_outFd = started.outFd;
  run->m_errFd = started.errFd;
  run->m_argumentFile = started.argumentFile;
  run->m_pollTimer.SetOwner(run.get());
  run->Bind(wxEVT_TIMER, [r = run.get()](wxTimerEvent&) { r->Poll(); });
  run->m_pollTimer.Start(POLL_PERIOD_MS);
  return run;
}

ToolProcess::~ToolProcess() {
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

void ToolProcess::ShowIn(ToolConsole* console) { m_console = console; }

void ToolProcess::Poll() {
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

void ToolProcess::ReadPipe(int& fd, bool isErrorPipe) {
  // Shown in one piece: the console appends once per poll.
  const std::string data = ReadAvailable(fd, READ_BYTES_PER_POLL, READ_CHUNK_BYTES);
  if (!data.empty()) Append(data, isErrorPipe);
}

// Progress lines are a number and '%' alone on a line.
void ToolProcess::TakeProgress(const std::string& chunk) {
  m_outLine += chunk;
  std::size_t start = 0;
  for (std::size_t end; (end = m_outLine.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = m_outLine.substr(start, end - start);
    if (line.size() >= 2 && line.size() <= 4 && line.back() == '%' &&
        line.find_first_not_of("0123456789") == line.size() - 1)
      m_percent = std::stoi(line);
  }
  m_outLine.erase(0, start);
  if (m_outLine.size() > READ_CHUNK_BYTES) m_outLine.clear();  // no progress line is that long
}

void ToolProcess::Append(const std::string& chunk, bool isErrorPipe) {
  if (m_console) m_console->Append(chunk);
  if (!isErrorPipe) {
    TakeProgress(chunk);
    return;
  }
  m_errors += chunk;
  if (m_errors.size() > 2 * ERROR_KEEP_BYTES) {
    m_errors.erase(0, m_errors.size() - ERROR_KEEP_BYTES);
  }
}
