#include "ToolTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

CommandResult RunCommand(const std::string& commandLine) {
  CommandResult result;
  FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

extern char** environ;

// Fills the pipe through its write end until a write would block.
std::size_t FillPipe(int writeEnd) {
  const int flags = fcntl(writeEnd, F_GETFL);
  fcntl(writeEnd, F_SETFL, flags | O_NONBLOCK);
  const std::string chunk(4096, '#');
  std::size_t total = 0;
  for (ssize_t n; (n = write(writeEnd, chunk.data(), chunk.size())) > 0;) total += static_cast<std::size_t>(n);
  for (ssize_t n; (n = write(writeEnd, chunk.data(), 1)) > 0;) total += static_cast<std::size_t>(n);
  fcntl(writeEnd, F_SETFL, flags);  // the tool gets ordinary, blocking writes
  return total;
}

LiveTool::LiveTool(const std::vector<std::string>& args, const std::string& stderrPath, bool stallOutput) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  if (stallOutput) m_filler = FillPipe(fds[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> all = {ToolPath()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = posix_spawn(&m_pid, all[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  m_out = fds[0];
  if (rc != 0) throw std::runtime_error("cannot start " + all[0]);
}

LiveTool::~LiveTool() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_out >= 0) close(m_out);
}

bool LiveTool::ReadLine(std::string& line) {
  for (;;) {
    if (std::size_t nl = m_pending.find('\n'); nl != std::string::npos) {
      line = m_pending.substr(0, nl);
      m_pending.erase(0, nl + 1);
      return true;
    }
    char chunk[4096];
    const ssize_t n = read(m_out, chunk, sizeof chunk);
    if (n <= 0) return false;
    const std::size_t skip = std::min(m_filler, static_cast<std::size_t>(n));
    m_filler -= skip;
    m_pending.append(chunk + skip, static_cast<std::size_t>(n) - skip);
  }
}

bool WaitFor(const std::function<bool()>& condition, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

int LiveTool::Wait() {
  std::string rest;
  while (ReadLine(rest)) {
  }
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ToolPath() {
  const char* p = std::getenv("BRENVOX_TOOL");
  return p && *p ? p : BRENVOX_TOOL_DEFAULT;
}

std::string SharedToolsDir() {
  const char* p = std::getenv("BRENVOX_SHARED");
  return std::string(p && *p ? p : BRENVOX_SHARED_DEFAULT) + "/tools";
}

ToolResult RunTool(const std::vector<std::string>& args) {
  ScratchDir streams;
  std::string line = ShellQuote(ToolPath());
  for (const std::string& a : args) line.append(1, ' ').append(ShellQuote(a));
  line += " >" + ShellQuote(streams / "out") + " 2>" + ShellQuote(streams / "err");
  const int status = std::system(line.c_str());
  ToolResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadText(streams / "out");
  r.err = ReadText(streams / "err");
  return r;
}

std::string MissingProgram(const std::string& program, const std::string& package) {
  if (RunCommand("command -v " + ShellQuote(program)).exitCode == 0) return "";
  return "the oracle '" + program + "' is missing: install the Debian package " + package +
         " (scripts/setup.sh does)";
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, unsigned seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24 | 1);  // never zero, so padding shows
  }
  return bytes;
}

std::string Sha256Of(const std::uint8_t* data, std::size_t size) {
  ScratchDir dir;
  WriteFile(dir / "data", std::vector<std::uint8_t>(data, data + size));
  const std::string out = RunCommand("sha256sum " + ShellQuote(dir / "data")).output;
  return out.substr(0, 64);
}
