// Where the tool, gui.ini and the default image target are, from the current
// directory, the executable's folder and the environment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/StartupPlaces.h"

namespace fs = std::filesystem;

class StartupPlacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = (fs::temp_directory_path() / ("brenvox-places-" + std::to_string(::getpid()))).string();
    fs::remove_all(root);
    for (const char* dir : {"/cwd", "/bin", "/home", "/config"}) fs::create_directories(root + dir);
  }
  void TearDown() override { fs::remove_all(root); }
  void PutTool(const std::string& dir) { std::ofstream(dir + "/brenvox.exe") << "#!/bin/sh\n"; }
  StartupFacts Facts() const {
    return {root + "/cwd", root + "/bin", root + "/config", root + "/home"};
  }
  std::string root;
};

TEST_F(StartupPlacesTest, TheToolBesideTheProgramWinsOverOneInTheCurrentDirectory) {
  PutTool(root + "/cwd");  // some other brenvox.exe where the program was started
  PutTool(root + "/bin");
  StartupPlaces places = DecideStartupPlaces(Facts());
  EXPECT_EQ(places.toolPath, root + "/bin/brenvox.exe");
  EXPECT_EQ(places.settingsDir, root + "/config/brenvoxgui");
  EXPECT_TRUE(places.perUser);

  // Started from its own folder, by any path to it: everything stays there.
  fs::create_directory_symlink(root + "/bin", root + "/link");
  for (const std::string& own : {root + "/bin", root + "/link"}) {
    StartupFacts facts = Facts();
    facts.currentDir = own;
    places = DecideStartupPlaces(facts);
    EXPECT_EQ(places.toolPath, own + "/brenvox.exe") << own;
    EXPECT_EQ(places.settingsDir, own);
    EXPECT_EQ(places.targetDir, own);
    EXPECT_FALSE(places.perUser);
  }

  // A copy with no tool beside it uses the current directory's, as it did.
  fs::remove(root + "/bin/brenvox.exe");
  places = DecideStartupPlaces(Facts());
  EXPECT_EQ(places.toolPath, root + "/cwd/brenvox.exe");
  EXPECT_EQ(places.settingsDir, root + "/cwd");
  EXPECT_EQ(places.targetDir, root + "/cwd");
  EXPECT_FALSE(places.perUser);
}

TEST_F(StartupPlacesTest, ElsewhereTheToolBesideTheProgramAndPerUserSettings) {
  PutTool(root + "/bin");
  StartupFacts facts = Facts();
  StartupPlaces places = DecideStartupPlaces(facts);
  EXPECT_EQ(places.toolPath, root + "/bin/brenvox.exe");
  EXPECT_EQ(places.settingsDir, root + "/config/brenvoxgui");
  EXPECT_EQ(places.targetDir, root + "/home");
  EXPECT_TRUE(places.perUser);

  // An unset or relative XDG_CONFIG_HOME means $HOME/.config.
  for (const char* xdg : {"", "config"}) {
    facts.xdgConfigHome = xdg;
    places = DecideStartupPlaces(facts);
    EXPECT_EQ(places.settingsDir, root + "/home/.config/brenvoxgui") << "XDG_CONFIG_HOME=" << xdg;
    EXPECT_TRUE(places.perUser);
  }

  // Without any home the settings and the target stay in the current directory.
  facts.home = "";
  places = DecideStartupPlaces(facts);
  EXPECT_EQ(places.toolPath, root + "/bin/brenvox.exe");
  EXPECT_EQ(places.settingsDir, root + "/cwd");
  EXPECT_EQ(places.targetDir, root + "/cwd");
  EXPECT_FALSE(places.perUser);
}

TEST_F(StartupPlacesTest, WithoutTheToolAnywhereTheCurrentDirectoryIsReportedMissing) {
  for (const std::string& exeDir : {root + "/bin", std::string()}) {
    StartupFacts facts = Facts();
    facts.executableDir = exeDir;
    const StartupPlaces places = DecideStartupPlaces(facts);
    EXPECT_EQ(places.toolPath, root + "/cwd/brenvox.exe");
    EXPECT_EQ(places.settingsDir, root + "/cwd");
    EXPECT_FALSE(places.perUser);
  }
  // An unreadable current directory gives paths from the root, as it always did.
  StartupFacts facts = Facts();
  facts.currentDir = "";
  EXPECT_EQ(DecideStartupPlaces(facts).toolPath, "/brenvox.exe");
}

TEST_F(StartupPlacesTest, FactsOfThisProcess) {
  const StartupFacts facts = GatherStartupFacts("/some/where");
  EXPECT_EQ(facts.currentDir, "/some/where");
  EXPECT_EQ(facts.executableDir, fs::canonical("/proc/self/exe").parent_path().string());

  const char* savedHome = std::getenv("HOME");
  const std::string home = savedHome ? savedHome : "";
  ::setenv("HOME", "/home/from-env", 1);
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(GatherStartupFacts("").home, "/home/from-env");
  EXPECT_EQ(GatherStartupFacts("").xdgConfigHome, "/cfg");
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  EXPECT_FALSE(GatherStartupFacts("").home.empty()) << "the account's home folder stands in";
  if (savedHome) ::setenv("HOME", home.c_str(), 1);
}

TEST_F(StartupPlacesTest, TheSettingsFolderIsMadeWithItsParentsForTheUserAlone) {
  const std::string dir = root + "/config/new/deeper/brenvoxgui";
  ASSERT_TRUE(MakeSettingsFolder(dir));
  struct stat st {};
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(MakeSettingsFolder(dir)) << "an existing folder is fine";
  EXPECT_TRUE(MakeSettingsFolder(dir + "/")) << "a trailing slash";

  std::ofstream(root + "/config/file") << "x";
  EXPECT_FALSE(MakeSettingsFolder(root + "/config/file")) << "a file in the way";
  EXPECT_FALSE(MakeSettingsFolder(root + "/config/file/brenvoxgui"));
  EXPECT_FALSE(MakeSettingsFolder(""));
}

TEST(StartupPlaces, TheProgramsNameIsTheExecutablesFileNameWithoutExtension) {
  EXPECT_EQ(ProgramNameOf("/usr/bin/brenvoxgui"), "brenvoxgui");
  EXPECT_EQ(ProgramNameOf("/home/u/copies/mygui"), "mygui");
  EXPECT_EQ(ProgramNameOf("/opt/x.d/gui.bin"), "gui");
  EXPECT_EQ(ProgramNameOf("./my.gui.exe"), "my.gui");
  EXPECT_EQ(ProgramNameOf("/opt/.hidden"), ".hidden");
  EXPECT_EQ(ProgramNameOf("mygui"), "mygui");
}
