// gui.ini: line 1 the image target, line 2 "%d %d %d" for View Prompt,
// Keep Extension and Single Track. Nothing else reads or writes the file.
#pragma once

#include <optional>
#include <string>

struct CheckStates {
  int viewPrompt = 0;
  int keepExtension = 0;
  int singleTrack = 0;
};

struct Settings {
  std::string imageTarget;            // the loaded or default target
  std::optional<CheckStates> checks;  // set only when all three numbers scanned
};

// The default image target: "<startupDir>/image".
std::string DefaultImageTarget(const std::string& startupDir);

// Parses the bytes of a gui.ini file.
Settings ParseSettings(const std::string& content, const std::string& startupDir);

// Reads gui.ini at iniPath, only as far as its two lines can count (a link to
// a device or a file of gigabytes costs no memory); a missing or unreadable
// file gives the defaults.
Settings LoadSettingsFile(const std::string& iniPath, const std::string& startupDir);

// The exact bytes written: "%s\n%d %d %d" with no line end after line 2.
std::string FormatSettings(const std::string& imageTarget, const CheckStates& checks);

// Writes the file whole (temporary file, then rename). False on failure,
// which leaves any previous file as it was.
bool SaveSettingsFile(const std::string& iniPath, const std::string& imageTarget,
                      const CheckStates& checks);
