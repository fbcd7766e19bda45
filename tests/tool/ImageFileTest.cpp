// How the tool treats an image that is already there, and inputs it cannot
// all hold open: the image that results is the same whatever path it takes.
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

#include "ToolTestSupport.h"

namespace {

// Every date fixed while it lives, so that two runs give the same bytes.
struct FixedDates {
  FixedDates() { setenv("SOURCE_DATE_EPOCH", "1000000000", 1); }
  ~FixedDates() { unsetenv("SOURCE_DATE_EPOCH"); }
};

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The image of `args` written to a fresh target, for comparison.
std::vector<std::uint8_t> FreshImage(const ScratchDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"-o", dir / "fresh"});
  const ToolResult r = RunTool(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  return ReadFile(dir / "fresh.bin");
}

// Runs the tool with `args` where io_uring is refused, as a container's
// system-call filter refuses it; its exit status.
int RunToolWithoutRing(const std::vector<std::string>& args) {
  const std::string tool = ToolPath();
  std::vector<char*> argv = {const_cast<char*>(tool.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      _exit(126);
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    execv(tool.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// Where io_uring is refused the inputs are opened and read file by file, and
// the image is the same: small files (read many at a time where it is
// allowed), whole sectors, a file of no bytes, and large files around them.
TEST(ToolImageFile, AnImageIsTheSameWhereTheSystemRefusesARing) {
  ScratchDir dir;
  FixedDates dates;
  std::vector<std::string> args = {"-s"};  // one track: Form 2 files would need more than 99
  for (int i = 0; i < 300; ++i) {
    const std::string name = dir / (std::string("f").append(std::to_string(i)) + ".dat");
    const std::size_t size = i % 100 == 1 ? 2'000'000 : i % 50 == 2 ? 0 : i % 10 == 3 ? 4096 : 100 + 37 * i % 5000;
    WriteFile(name, PatternBytes(size, static_cast<unsigned>(i)));
    args.insert(args.end(), {i % 3 ? "-f" : "-m", name});
    if (i == 150) args.insert(args.end(), {"-d", "SUB"});
  }
  const std::vector<std::uint8_t> expected = FreshImage(dir, args);
  args.insert(args.begin(), {"-o", dir / "plain"});
  EXPECT_EQ(RunToolWithoutRing(args), 0);
  EXPECT_TRUE(ReadFile(dir / "plain.bin") == expected);
}

// An old image, larger than the new one, is replaced: under its own name with
// its permissions; through a symbolic link, which stays a link; and under
// every name of a file with two. Nothing else is left in the folder.
TEST(ToolImageFile, AnOldImageIsReplacedUnderEveryNameItHas) {
  ScratchDir dir;
  FixedDates dates;
  WriteFile(dir / "a.dat", PatternBytes(70'000, 1));
  const std::vector<std::uint8_t> expected = FreshImage(dir, {"-f", dir / "a.dat"});
  const std::vector<std::uint8_t> old = PatternBytes(expected.size() * 2 + 1, 2);
  WriteFile(dir / "plain.bin", old);
  ASSERT_EQ(chmod((dir / "plain.bin").c_str(), 0640), 0);
  WriteFile(dir / "target.bin", old);
  ASSERT_EQ(symlink("target.bin", (dir / "link.bin").c_str()), 0);
  WriteFile(dir / "one.bin", old);
  ASSERT_EQ(link((dir / "one.bin").c_str(), (dir / "two.bin").c_str()), 0);
  for (const char* name : {"plain", "link", "one"}) {
    const ToolResult r = RunTool({"-o", dir / name, "-f", dir / "a.dat"});
    EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
  }
  EXPECT_TRUE(ReadFile(dir / "plain.bin") == expected);
  EXPECT_EQ(ModeOf(dir / "plain.bin"), 0640u);
  struct stat st {};
  ASSERT_EQ(lstat((dir / "link.bin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
  EXPECT_TRUE(ReadFile(dir / "target.bin") == expected);
  EXPECT_TRUE(ReadFile(dir / "one.bin") == expected);
  EXPECT_TRUE(ReadFile(dir / "two.bin") == expected) << "the other name kept the old image";
  EXPECT_EQ(RunCommand("cd " + ShellQuote(dir.Path()) + " && ls -A | tr '\\n' ' '").output,
            "a.dat fresh.bin fresh.cue link.bin link.cue one.bin one.cue plain.bin plain.cue target.bin two.bin ");
}

// With room for only a few open files, the inputs past those are opened again
// to be written, and the image is the same.
TEST(ToolImageFile, MoreInputsThanOpenFilesGiveTheSameImage) {
  ScratchDir dir;
  FixedDates dates;
  std::vector<std::string> args = {"-s"};  // one track: no gaps to read back
  for (int i = 0; i < 150; ++i) {
    const std::string name = dir / (std::string("f").append(std::to_string(i)) + ".dat");
    WriteFile(name, PatternBytes(static_cast<std::size_t>(100 + 37 * i), static_cast<unsigned>(i)));
    args.insert(args.end(), {i % 3 ? "-f" : "-m", name});
  }
  const std::vector<std::uint8_t> expected = FreshImage(dir, args);
  std::string line = "prlimit --nofile=96:96 " + ShellQuote(ToolPath()) + " -o " + ShellQuote(dir / "few");
  for (const std::string& arg : args) line.append(" ").append(ShellQuote(arg));
  const CommandResult r = RunCommand(line + " 2>&1 >/dev/null");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadFile(dir / "few.bin") == expected);
}
