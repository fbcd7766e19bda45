// The batch file against a real shell: for names made of every byte, Generate
// Batch either refuses the layout, or `sh` running the batch file hands a
// stand-in brenvox.exe exactly the arguments Write ISO gives the tool and
// does nothing else. And it refuses only what a shell would not read back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/CommandLine.h"

namespace fs = std::filesystem;

namespace {

class BatchFileShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "batchshellXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    fs::create_directories(dir + "/bin");
    // Records its arguments, each ended by a NUL, and nothing else.
    std::ofstream(dir + "/bin/brenvox.exe") << "#!/bin/sh\nprintf '%s\\0' \"$@\" >> \"$RECORD\"\n";
    fs::permissions(dir + "/bin/brenvox.exe", fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs the batch file with sh in an empty folder, the stand-in first on
  // PATH. True when the stand-in received exactly `expected` (once) and the
  // folder is still empty.
  bool ShellRunsExactly(const std::string& batch, const std::vector<std::string>& expected) {
    const std::string run = dir + "/run", batchFile = dir + "/disc.bat", record = dir + "/record";
    fs::remove_all(run);
    fs::remove(record);
    fs::create_directory(run);
    std::ofstream(batchFile, std::ios::binary) << batch;
    std::string path = "PATH=" + dir + "/bin:/usr/bin:/bin", recordVar = "RECORD=" + record;
    char* const env[] = {path.data(), recordVar.data(), nullptr};
    const char* argv[] = {"sh", batchFile.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, run.c_str());
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), env);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
      ADD_FAILURE() << "cannot start sh: " << error;
      return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::ostringstream received;
    received << std::ifstream(record, std::ios::binary).rdbuf();
    std::string wanted;
    for (const std::string& arg : expected) wanted += arg + '\0';
    return received.str() == wanted && fs::is_empty(run);
  }

  std::string dir;
};

CommandEntry V(const char* option, const std::string& value) { return {option, true, value}; }

CommandLine Settings(const std::string& home) { return {V("-o", home + "/disc"), V("-v", "DISC"), {"-x", false, {}}}; }

// Names with the byte at the start, in the middle, at the end, alone three
// times, and after a backslash, in file paths and in folders at the top,
// below a folder and above one.
CommandLine LayoutWithByte(const std::string& home, char byte) {
  const std::string b(1, byte);
  CommandLine entries;
  const std::string names[] = {b + "x", "x" + b + "y", "x" + b, b + b + b, "x\\" + b + "y"};
  for (const std::string& name : names) entries.push_back(V("-f", home + "/in/" + name));
  for (const std::string& name : names) {
    entries.push_back(V("-d", name));
    entries.push_back(V("-m", home + "/in/" + name));
    entries.push_back(V("-d", name + "\\Extra"));
    entries.push_back(V("-d", "Video\\" + name));
  }
  return entries;
}

CommandLine Joined(CommandLine a, const CommandLine& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(BatchFileShellTest, EveryByteIsRefusedOrReachesTheToolAsWriteIsoGivesIt) {
  // Each refused layout is run on its own: a shell must indeed misread it.
  // The layouts let through are run as one (a shell reads each value on its
  // own), and each alone only when that fails, to name the byte.
  CommandLine passed = Settings(dir);
  std::vector<int> passedBytes;
  for (int byte = 0x01; byte <= 0xFF; ++byte) {
    const CommandLine entries = Joined(Settings(dir), LayoutWithByte(dir, static_cast<char>(byte)));
    if (FirstShellExpandedValue(entries)) {
      EXPECT_FALSE(ShellRunsExactly(RenderBatchFile(entries), RenderArguments(entries)))
          << "byte 0x" << std::hex << byte << " is refused, but a shell reads it back";
    } else {
      const CommandLine layout = LayoutWithByte(dir, static_cast<char>(byte));
      passed.insert(passed.end(), layout.begin(), layout.end());
      passedBytes.push_back(byte);
    }
  }
  ASSERT_FALSE(FirstShellExpandedValue(passed)) << "what passes alone passes together";
  if (ShellRunsExactly(RenderBatchFile(passed), RenderArguments(passed))) return;
  for (const int byte : passedBytes) {
    const CommandLine entries = Joined(Settings(dir), LayoutWithByte(dir, static_cast<char>(byte)));
    EXPECT_TRUE(ShellRunsExactly(RenderBatchFile(entries), RenderArguments(entries)))
        << "byte 0x" << std::hex << byte << ": a shell does not read it back";
  }
  ADD_FAILURE() << "the layouts let through are not read back as one";
}

}  // namespace
