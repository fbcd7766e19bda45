// The image options of the main window as a plain value: what its option
// controls hold, what gui.ini and a loaded structure file put into them, and
// what gui.ini keeps of them. The tool's options come from `command`
// (AppendSettingsEntries). The window only copies its controls to and from it.
#pragma once

#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "common/CommandLine.h"
#include "common/StructureFile.h"

struct ImageOptions {
  CommandSettings command;  // the target, volume name, Form 2 extension, two boxes, the level
  bool viewPrompt = false;
  // The target gui.ini keeps: read from it or chosen with "...", never one a
  // structure file loaded.
  std::string settingsTarget;
};

// The options of a window that starts with these settings: their target and
// boxes (any number but 0 ticks a box; unscanned numbers tick none), the
// default volume name and Form 2 extension, the first ISO level.
ImageOptions OptionsAtStart(const Settings& settings);

// The check boxes as gui.ini writes them.
CheckStates ChecksToKeep(const ImageOptions& options);

// A target chosen with "...": the next build's and the one gui.ini keeps.
void ChooseTarget(ImageOptions& options, const std::string& target);

// A loaded structure file's options: the values it names replace the old ones
// byte for byte, the boxes it names are ticked, Keep Extension is cleared when
// it is not named; the level, View Prompt and Single Track keep theirs.
void ApplyStructureOptions(ImageOptions& options, const std::vector<StructureAction>& actions);
