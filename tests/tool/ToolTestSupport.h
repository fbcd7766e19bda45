// Helpers of the tool's tests: a scratch folder, running programs, files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

// A fresh folder under the system's temporary folder, removed at the end.
using ScratchDir = TempFolder;

struct CommandResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Runs a shell command line (arguments quoted with shellQuote).
CommandResult RunCommand(const std::string& commandLine);
std::string ShellQuote(const std::string& s);

// Runs brenvox.exe (from $BRENVOX_TOOL) with `args`; stdout and stderr apart.
struct ToolResult {
  int exitCode = -1;
  std::string out, err;
};
ToolResult RunTool(const std::vector<std::string>& args);

// brenvox.exe running in the background, its stdout read line by line. With
// `stallOutput` its stdout pipe starts full, so the tool stops at its first
// progress line until the test reads: a point the test can look at the image.
class LiveTool {
 public:
  LiveTool(const std::vector<std::string>& args, const std::string& stderrPath, bool stallOutput);
  ~LiveTool();
  bool ReadLine(std::string& line);  // false at the end of its output
  int Wait();  // exit status

 private:
  int m_pid = -1;
  int m_out = -1;
  std::size_t m_filler = 0;  // bytes put into the pipe before the tool started
  std::string m_pending;
};

// Polls `condition` until it holds or `seconds` have passed.
bool WaitFor(const std::function<bool()>& condition, double seconds);

std::string ToolPath();
std::string SharedToolsDir();  // $BRENVOX_SHARED/tools
// Empty when the program is there; else a message naming the package.
std::string MissingProgram(const std::string& program, const std::string& package);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::uint8_t> PatternBytes(std::size_t size, unsigned seed);

std::string Sha256Of(const std::uint8_t* data, std::size_t size);
