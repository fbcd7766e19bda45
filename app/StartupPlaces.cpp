#include "app/StartupPlaces.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr const char* TOOL_NAME = "/brenvox.exe";
constexpr const char* SETTINGS_FOLDER_NAME = "/brenvoxgui";

// The tool counts as there as the main window's check counts it.
bool ToolIn(const std::string& dir) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(dir + TOOL_NAME), error);
}

// The same folder by device and inode, whatever path or link names it.
bool SameFolder(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return !a.empty() && !b.empty() && ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

// The base of per-user settings: $XDG_CONFIG_HOME when it is an absolute
// path (a relative one is to be ignored), else $HOME/.config; empty when
// neither is known.
std::string ConfigHome(const StartupFacts& facts) {
  if (IsAbsolute(facts.xdgConfigHome)) return facts.xdgConfigHome;
  if (IsAbsolute(facts.home)) return facts.home + "/.config";
  return {};
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

StartupPlaces PlacesInFolder(const std::string& dir) {
  return {dir + TOOL_NAME, dir, dir, false};
}

StartupPlaces DecideStartupPlaces(const StartupFacts& facts) {
  // The program's own tool wins over whatever the current directory holds;
  // started from its own folder, that folder keeps everything.
  const bool toolBesideProgram = !facts.executableDir.empty() && ToolIn(facts.executableDir);
  if (!toolBesideProgram || SameFolder(facts.currentDir, facts.executableDir)) {
    return PlacesInFolder(facts.currentDir);
  }
  StartupPlaces places;
  places.toolPath = facts.executableDir + TOOL_NAME;
  const std::string configHome = ConfigHome(facts);
  if (configHome.empty()) {
    places.settingsDir = facts.currentDir;
  } else {
    places.settingsDir = configHome + SETTINGS_FOLDER_NAME;
    places.perUser = true;
  }
  places.targetDir = IsAbsolute(facts.home) ? facts.home : facts.currentDir;
  return places;
}

std::string ProgramNameOf(const std::string& executablePath) {
  const std::size_t slash = executablePath.find_last_of('/');
  std::string name = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string RunningExecutable() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : executable.string();
}

StartupFacts GatherStartupFacts(const std::string& currentDir) {
  StartupFacts facts;
  facts.currentDir = currentDir;
  const std::string executable = RunningExecutable();
  if (!executable.empty()) facts.executableDir = std::filesystem::path(executable).parent_path().string();
  facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  facts.home = Environment("HOME");
  if (facts.home.empty()) {
    // getpwuid_r with a buffer that grows until the entry fits.
    std::string buffer(1024, '\0');
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
      buffer.resize(buffer.size() * 2);
    }
    if (found && found->pw_dir) facts.home = found->pw_dir;
  }
  return facts;
}

bool MakeSettingsFolder(const std::string& dir) {
  if (dir.empty()) return false;
  // Parents first, from the top; each made 0700 when it is new.
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
