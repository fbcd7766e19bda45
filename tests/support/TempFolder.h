// A folder of a test's own under the system's temporary folder, removed with
// everything in it when the test ends (also when its permissions were taken
// away by the test).
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brenvox-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = std::filesystem::canonical(pattern).string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  // A file (with the folders above it) holding content; its full path.
  std::string MakeFile(const std::string& rel, const std::string& content = "x") const {
    const std::filesystem::path path = std::filesystem::path(m_path) / rel;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  // A folder (with the folders above it); its full path.
  std::string MakeDir(const std::string& rel) const {
    std::filesystem::create_directories(std::filesystem::path(m_path) / rel);
    return *this / rel;
  }

 private:
  std::string m_path;
};
