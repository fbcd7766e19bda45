// The plan against the image: for layouts of every kind, the sectors the
// planner gives equal the sectors of the .bin the tool then writes, -n says
// the same last line and writes nothing, and the names that change are the
// names a reader lists.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <regex>
#include <sstream>

#include "ToolTestSupport.h"
#include "tool/ImagePlanner.h"

namespace {

std::string LastLine(const std::string& out) {
  std::string text = out;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  const std::size_t nl = text.rfind('\n');
  return nl == std::string::npos ? text : text.substr(nl + 1);
}

std::uint64_t SizeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

struct Layout {
  std::string what;
  std::vector<std::string> args;  // after -o TARGET
};

// Files of every size that matters: empty, one byte, exact and one past a
// sector of each form, several sectors.
std::vector<Layout> Layouts(const ScratchDir& dir) {
  const std::pair<const char*, std::size_t> files[] = {
      {"empty.txt", 0}, {"one.txt", 1}, {"f1.txt", 2048}, {"f1b.txt", 2049}, {"big.txt", 70000},
      {"clip.mpg", 2324}, {"clip2.mpg", 2325}, {"long.mpg", 50000}, {"zero.mpg", 0}};
  for (const auto& [name, size] : files) WriteFile(dir / name, PatternBytes(size, static_cast<unsigned>(size)));
  std::vector<std::string> manyNames;  // a root directory of several sectors
  for (int i = 0; i < 120; ++i) manyNames.insert(manyNames.end(), {"-d", "FOLDER_WITH_A_LONG_NAME_" + std::to_string(i)});
  manyNames.insert(manyNames.end(), {"-f", dir / "one.txt"});
  std::vector<std::string> clashes = {"-isolevel1"};
  for (int i = 0; i < 12; ++i) clashes.insert(clashes.end(), {"-f", dir / "f1.txt"});
  clashes.insert(clashes.end(), {"-d", "a long folder", "-d", "A_LONG_FOLDER_2", "-f", dir / "big.txt"});
  return {
      {"Form 1 only", {"-f", dir / "one.txt", "-f", dir / "f1.txt", "-f", dir / "f1b.txt", "-d", "SUB", "-f", dir / "big.txt"}},
      {"Form 2 multi-track", {"-f", dir / "one.txt", "-m", dir / "clip.mpg", "-m", dir / "clip2.mpg", "-d", "V", "-m", dir / "long.mpg", "-m", dir / "zero.mpg"}},
      {"single track", {"-s", "-f", dir / "one.txt", "-m", dir / "clip.mpg", "-m", dir / "long.mpg", "-m", dir / "zero.mpg"}},
      {"ISO level 1", {"-isolevel1", "-e", "dat", "-f", dir / "big.txt", "-d", "a long folder name\\sub", "-m", dir / "long.mpg"}},
      {"ISO level 2", {"-isolevel2", "-x", "-f", dir / "big.txt", "-d", "a long folder name\\sub", "-m", dir / "long.mpg"}},
      {"ASCII", {"-v", "vol", "-f", dir / "f1b.txt", "-d", "My Folder", "-m", dir / "clip2.mpg"}},
      {"clashes", clashes},
      {"empty files", {"-f", dir / "empty.txt", "-m", dir / "zero.mpg", "-d", "E", "-f", dir / "empty.txt"}},
      {"a directory of several sectors", manyNames},
      {"no file at all", {"-d", "ONLY"}},
  };
}

std::vector<std::string> WithTarget(const std::string& target, const std::vector<std::string>& tail) {
  std::vector<std::string> args = {"-o", target};
  args.insert(args.end(), tail.begin(), tail.end());
  return args;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

// The folders and names cd-info lists, "/" + path, as shown (lower case).
std::vector<std::string> CdInfoNames(const std::string& cue) {
  const CommandResult r = RunCommand("cd-info --no-header --no-device-info --cue-file " + ShellQuote(cue) + " --iso9660");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::regex header(R"(^(/.*):$)");
  const std::regex entry(R"(^\s+\S+ .*\[LSN\s+\d+\]\s+\d+(?: \(\s*\d+\))? \w{3} \d\d \d{4} \d\d:\d\d:\d\d  (.*)$)");
  std::vector<std::string> names;
  std::istringstream lines(r.output);
  std::string line, dir;
  for (std::smatch m; std::getline(lines, line);) {
    if (std::regex_match(line, m, header)) dir = m[1];
    else if (std::regex_match(line, m, entry) && m[1] != "." && m[1] != "..") names.push_back(Lower(dir + std::string(m[1])));
  }
  return names;
}

}  // namespace

TEST(ToolPlanner, PlannedSectorsAreTheSectorsWrittenAndMinusNSaysTheSame) {
  ScratchDir dir;
  for (const Layout& layout : Layouts(dir)) {
    SCOPED_TRACE(layout.what);
    const std::string target = dir / "disc";
    ImageSummary summary;
    const Status planned = PlanImageFromArguments(WithTarget(target, layout.args), LookUpInputOnDisk, summary);
    ASSERT_FALSE(planned) << planned->message;

    std::vector<std::string> planArgs = WithTarget(target, layout.args);
    planArgs.push_back("-n");
    const ToolResult plan = RunTool(planArgs);
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    EXPECT_FALSE(FileExists(target + ".bin")) << "-n wrote the image";
    EXPECT_FALSE(FileExists(target + ".cue")) << "-n wrote the cue sheet";

    const ToolResult run = RunTool(WithTarget(target, layout.args));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(SizeOf(target + ".bin"), std::uint64_t{summary.totalSectors} * 2352);
    EXPECT_EQ(SizeOf(target + ".cue"), summary.cueBytes);
    EXPECT_EQ(LastLine(plan.out), LastLine(run.out));
    EXPECT_EQ(LastLine(run.out), ImageWrittenLine(target + ".bin", summary.totalSectors));
    std::remove((target + ".bin").c_str());
    std::remove((target + ".cue").c_str());
  }
}

TEST(ToolPlanner, SizesFromTheProgramGiveTheSamePlanWithoutTheFiles) {
  ScratchDir dir;
  for (const Layout& layout : Layouts(dir)) {
    SCOPED_TRACE(layout.what);
    ImageSummary onDisk, given;
    const auto args = WithTarget(dir / "disc", layout.args);
    ASSERT_FALSE(PlanImageFromArguments(args, LookUpInputOnDisk, onDisk));
    std::map<std::string, std::uint64_t> known;  // what the program's layout knows
    for (std::size_t i = 0; i + 1 < layout.args.size(); ++i)
      if (layout.args[i] == "-f" || layout.args[i] == "-m") known[layout.args[i + 1]] = SizeOf(layout.args[i + 1]);
    int asked = 0;
    const InputLookUp fromLayout = [&](const std::string& path, InputFile& found) -> Status {
      ++asked;
      found.size = known.at(path);
      return std::nullopt;
    };
    ASSERT_FALSE(PlanImageFromArguments(args, fromLayout, given));
    EXPECT_EQ(given.totalSectors, onDisk.totalSectors);
    EXPECT_EQ(given.cueBytes, onDisk.cueBytes);
    EXPECT_EQ(given.nameChanges.size(), onDisk.nameChanges.size());
    EXPECT_GE(asked, static_cast<int>(known.size()));
  }
  // The look-up's failure is the plan's failure, unchanged.
  ImageSummary s;
  const Status missing = PlanImageFromArguments({"-o", dir / "d", "-f", "/gone/a.txt"}, [](const std::string& p, InputFile&) -> Status {
    return InputError("Cannot find " + p);
  }, s);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->code, ExitCode::InputError);
  EXPECT_EQ(missing->message, "Cannot find /gone/a.txt");
  const Status usage = PlanImageFromArguments({"-f", dir / "a"}, LookUpInputOnDisk, s);
  ASSERT_TRUE(usage);
  EXPECT_EQ(usage->code, ExitCode::Usage);
}

// A layout longer than the tool writes still has its length counted: the size
// line says by how much it misses the largest CD.
TEST(ToolPlanner, TooLongLayoutFailsAsARunAndStillGivesItsSectors) {
  std::uint64_t size = 0;
  const InputLookUp given = [&](const std::string&, InputFile& found) -> Status {
    found.size = size;
    return std::nullopt;
  };
  const std::vector<std::string> args = {"-o", "/tmp/never", "-f", "/any/huge.bin"};
  ImageSummary small, huge, edge;
  size = 1000 * 2048;
  ASSERT_FALSE(PlanImageFromArguments(args, given, small));
  size = 460000ull * 2048;
  const Status tooLong = PlanImageFromArguments(args, given, huge);
  ASSERT_TRUE(tooLong);
  EXPECT_EQ(tooLong->code, ExitCode::LayoutError);
  EXPECT_EQ(tooLong->message, ImageTooLongMessage());
  EXPECT_EQ(huge.totalSectors, small.totalSectors + 459000);
  // The last sector the tool writes is still a plan without fault.
  size = (MAX_IMAGE_SECTORS - (small.totalSectors - 1000)) * 2048;
  EXPECT_FALSE(PlanImageFromArguments(args, given, edge));
  EXPECT_EQ(edge.totalSectors, MAX_IMAGE_SECTORS);
  size += 1;
  EXPECT_TRUE(PlanImageFromArguments(args, given, edge));
  EXPECT_EQ(edge.totalSectors, MAX_IMAGE_SECTORS + 1);
}

TEST(ToolPlanner, NameChangesWithTheirCauses) {
  ScratchDir dir;
  for (const char* name : {"readme.txt", "README.TXT", "clip.mpg", "CLIP.DAT", "ok.txt"})
    WriteFile(dir / name, PatternBytes(10, 1));
  RunCommand("mkdir " + ShellQuote(dir / "b"));
  WriteFile(dir / "b/readme.txt", PatternBytes(10, 2));
  const auto options = ParseToolArguments({"-o", dir / "d", "-e", "dat", "-f", dir / "README.TXT", "-f", dir / "b/readme.txt",
                                           "-m", dir / "clip.mpg", "-d", "Video Clips", "-m", dir / "CLIP.DAT"}).options;
  ASSERT_TRUE(options);
  ImageSummary level1, ascii;
  ToolOptions o = *options;
  o.isoLevel = IsoLevel::Level1;
  ASSERT_FALSE(PlanImage(o, LookUpInputOnDisk, level1));
  // Root first, in record order, then the folder.
  ASSERT_EQ(level1.nameChanges.size(), 3u);
  const NameChange& clip = level1.nameChanges[0];
  EXPECT_EQ(clip.diskName, "clip.mpg");
  EXPECT_EQ(clip.imageName, "CLIP.DAT");
  EXPECT_EQ(clip.cause, NameChangeCause::Mapped);
  EXPECT_EQ(clip.folder, "");
  const NameChange& readme = level1.nameChanges[1];
  EXPECT_EQ(readme.diskName, "readme.txt");
  EXPECT_EQ(readme.imageName, "README1.TXT");  // README.TXT came first
  EXPECT_EQ(readme.cause, NameChangeCause::Clash);
  EXPECT_EQ(readme.sourcePath, dir / "b/readme.txt");
  EXPECT_EQ(level1.nameChanges[2].imageName, "VIDEO_CL");
  EXPECT_TRUE(level1.nameChanges[2].isFolder);
  EXPECT_EQ(level1.nameChanges[2].cause, NameChangeCause::Mapped);  // CLIP.DAT in it keeps its name

  ASSERT_FALSE(PlanImage(*options, LookUpInputOnDisk, ascii));
  // ASCII keeps names; the Form 2 extension (in its own case) and the
  // case-blind clash remain.
  ASSERT_EQ(ascii.nameChanges.size(), 3u);
  EXPECT_EQ(ascii.nameChanges[0].imageName, "clip.dat");
  EXPECT_EQ(ascii.nameChanges[0].cause, NameChangeCause::Extension);
  EXPECT_EQ(NameChangeLine(ascii.nameChanges[0], IsoLevel::Ascii),
            "Renamed " + dir / "clip.mpg" + " to clip.dat in the root: Form 2 extension");
  EXPECT_EQ(ascii.nameChanges[1].imageName, "readme1.txt");
  EXPECT_EQ(ascii.nameChanges[1].cause, NameChangeCause::Clash);
  EXPECT_EQ(ascii.nameChanges[2].folder, "Video Clips");
  EXPECT_EQ(ascii.nameChanges[2].imageName, "CLIP.dat");
}

// The names list walks the folders depth first in record order: sibling
// folders that both hold renamed files give them first folder first.
TEST(ToolPlanner, NameChangesOfSiblingFoldersComeInRecordOrder) {
  const auto options = ParseToolArguments({"-o", "/x/d", "-isolevel1", "-d", "second dir", "-f", "/in/c d.txt",
                                           "-d", "first dir", "-f", "/in/a b.txt", "-d", "first dir\\inner dir",
                                           "-f", "/in/e f.txt"}).options;
  ASSERT_TRUE(options);
  ImageSummary summary;
  ASSERT_FALSE(PlanImage(*options, [](const std::string&, InputFile&) -> Status { return std::nullopt; }, summary));
  std::vector<std::string> order;
  for (const NameChange& change : summary.nameChanges) order.push_back(change.folder + ":" + change.imageName);
  EXPECT_EQ(order, (std::vector<std::string>{":FIRST_DI", ":SECOND_D", "FIRST_DI:A_B.TXT", "FIRST_DI:INNER_DI",
                                             "FIRST_DI/INNER_DI:E_F.TXT", "SECOND_D:C_D.TXT"}));
}

TEST(ToolPlanner, MinusNPrintsTheNamesAndRefusesWhatCannotBeLaidOut) {
  ScratchDir dir;
  WriteFile(dir / "a b.txt", PatternBytes(5, 1));
  const ToolResult r = RunTool({"-o", dir / "d", "-isolevel1", "-n", "-d", "sub folder", "-f", dir / "a b.txt"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Renamed folder sub folder to SUB_FOLD in the root: ISO level 1 name\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Renamed " + dir / "a b.txt" + " to A_B.TXT in SUB_FOLD: ISO level 1 name\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Nothing written (-n)"), std::string::npos) << r.out;

  std::vector<std::string> deep = {"-o", dir / "d", "-isolevel1", "-n"};
  std::string path;
  for (int i = 0; i < 8; ++i) deep.insert(deep.end(), {"-d", path += (i ? "\\D" : "D") + std::to_string(i)});
  const ToolResult tooDeep = RunTool(deep);
  EXPECT_EQ(tooDeep.exitCode, 4) << tooDeep.err;
  EXPECT_NE(tooDeep.err.find("at most 8 folder levels"), std::string::npos) << tooDeep.err;
  const ToolResult missing = RunTool({"-o", dir / "d", "-n", "-f", dir / "gone.txt"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_FALSE(FileExists(dir / "d.bin"));
  EXPECT_FALSE(FileExists(dir / "d.cue"));
  // An image of the same name stays as it was.
  WriteFile(dir / "d.bin", PatternBytes(7, 3));
  EXPECT_EQ(RunTool({"-o", dir / "d", "-n", "-f", dir / "a b.txt"}).exitCode, 0);
  EXPECT_EQ(SizeOf(dir / "d.bin"), 7u);
}

// Every name the planner says changes is in the image under its new name, and
// every other file and folder under its own name, as cd-info lists them.
TEST(ToolPlanner, NameListMatchesCdInfo) {
  if (std::string why = MissingProgram("cd-info", "libcdio-utils"); !why.empty()) GTEST_SKIP() << why;
  ScratchDir dir;
  for (const char* name : {"read me.txt", "README.TXT", "clip.mpg", "a.very.long.name.text", "ok.txt"})
    WriteFile(dir / name, PatternBytes(3000, 4));
  for (const char* level : {"-isolevel1", "-isolevel2"}) {
    SCOPED_TRACE(level);
    const std::vector<std::string> args = {"-o", dir / "disc", level, "-s", "-e", "dat",
        "-f", dir / "read me.txt", "-f", dir / "README.TXT", "-f", dir / "ok.txt", "-m", dir / "clip.mpg",
        "-d", "sub folder", "-f", dir / "a.very.long.name.text", "-f", dir / "ok.txt", "-f", dir / "ok.txt"};
    ImageSummary summary;
    ASSERT_FALSE(PlanImageFromArguments(args, LookUpInputOnDisk, summary));
    ASSERT_EQ(RunTool(args).exitCode, 0);
    std::vector<std::string> expected;  // from the layout, with each change applied
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> renamed;  // (folder, disk name) -> image names
    for (const NameChange& c : summary.nameChanges) renamed[{c.folder, c.diskName}].push_back(c.imageName);
    std::string folder;  // in-image, as the planner names it
    auto place = [&](const std::string& inFolder, const std::string& diskName) {
      auto it = renamed.find({inFolder, diskName});
      std::string shown = diskName;
      if (it != renamed.end() && !it->second.empty()) {
        shown = it->second.front();
        it->second.erase(it->second.begin());
      }
      std::string path(1, '/');
      if (!inFolder.empty()) path.append(inFolder).append("/");
      expected.push_back(Lower(path.append(shown)));
      return shown;
    };
    for (std::size_t i = 4; i + 1 < args.size(); i += 2) {
      if (args[i] == "-d") folder = place("", args[i + 1]);
      else if (args[i] == "-f" || args[i] == "-m") place(folder, args[i + 1].substr(args[i + 1].rfind('/') + 1));
    }
    for (const auto& [key, left] : renamed) EXPECT_TRUE(left.empty()) << key.second << " renamed more often than it occurs";
    std::vector<std::string> listed = CdInfoNames(dir / "disc.cue");
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
  }
}
