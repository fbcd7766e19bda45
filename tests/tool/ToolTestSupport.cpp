#include "ToolTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "brenvox-tool-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

CommandResult runCommand(const std::string& commandLine) {
  CommandResult result;
  FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string toolPath() {
  const char* p = std::getenv("BRENVOX_TOOL");
  return p ? p : "";
}

std::string sharedToolsDir() {
  const char* p = std::getenv("BRENVOX_SHARED");
  return std::string(p ? p : "../shared") + "/tools";
}

ToolResult runTool(const std::vector<std::string>& args) {
  ScratchDir streams;
  std::string line = shellQuote(toolPath());
  for (const std::string& a : args) line += " " + shellQuote(a);
  line += " >" + shellQuote(streams / "out") + " 2>" + shellQuote(streams / "err");
  const int status = std::system(line.c_str());
  ToolResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readText(streams / "out");
  r.err = readText(streams / "err");
  return r;
}

std::string missingProgram(const std::string& program, const std::string& package) {
  if (runCommand("command -v " + shellQuote(program)).exitCode == 0) return "";
  return "the oracle '" + program + "' is missing: install the Debian package " + package +
         " (scripts/setup.sh does)";
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::vector<std::uint8_t> patternBytes(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng() >> 8 | 1);  // never all zero
  return bytes;
}

std::string sha256Of(const std::uint8_t* data, std::size_t size) {
  ScratchDir dir;
  writeFile(dir / "data", std::vector<std::uint8_t>(data, data + size));
  const std::string out = runCommand("sha256sum " + shellQuote(dir / "data")).output;
  return out.substr(0, 64);
}
