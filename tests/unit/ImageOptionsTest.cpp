#include "app/ImageOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The options as one line: target|volume|ext|x s p|level|gui.ini's target.
std::string Picture(const ImageOptions& o) {
  const CommandSettings& c = o.command;
  return c.imagePath + "|" + c.volumeName + "|" + c.form2Ext + "|" + (c.keepExtension ? "x" : "-") +
         (c.singleTrack ? "s" : "-") + (o.viewPrompt ? "p" : "-") + "|" + std::to_string(c.isoLevelIndex) + "|" +
         o.settingsTarget;
}

TEST(ImageOptions, AtStartTheSettingsTickTheBoxesBesideTheDefaults) {
  EXPECT_EQ(Picture(OptionsAtStart(Settings{"/d/image", std::nullopt})), "/d/image|BRENVOX|dat|---|0|/d/image");
  // Any number but 0 ticks its box.
  const ImageOptions ticked = OptionsAtStart(Settings{"/t", CheckStates{2, 0, -1}});
  EXPECT_EQ(Picture(ticked), "/t|BRENVOX|dat|-sp|0|/t");
  EXPECT_EQ(FormatSettings(ticked.settingsTarget, ChecksToKeep(ticked)), "/t\n1 0 1");
}

TEST(ImageOptions, ALoadedFileSetsWhatItNamesClearsKeepExtensionAndKeepsTheRest) {
  ImageOptions o = OptionsAtStart(Settings{"/ini", CheckStates{1, 1, 1}});
  o.command.isoLevelIndex = 2;
  ApplyStructureOptions(o, ParseStructure("-f \"/a\" -d \"D\""));
  EXPECT_EQ(Picture(o), "/ini|BRENVOX|dat|-sp|2|/ini") << "only Keep Extension is reset";
  ApplyStructureOptions(o, ParseStructure("-o \"/l\xe9\" -v \"CAF\xc9\" -e \"d\xe9tails\" -x"));
  EXPECT_EQ(Picture(o), "/l\xe9|CAF\xc9|d\xe9tails|xsp|2|/ini") << "values byte for byte; gui.ini's target stays";
  ChooseTarget(o, "/chosen");
  EXPECT_EQ(Picture(o), "/chosen|CAF\xc9|d\xe9tails|xsp|2|/chosen");
}

}  // namespace
