// Where the program finds brenvox.exe and keeps gui.ini and the default image
// target. A brenvox.exe beside the program's own executable is the one it
// runs, whatever the current folder holds: started from elsewhere (as from
// the desktop menu with the home folder current), gui.ini goes into the
// per-user settings folder and the default image target into the home
// folder; started from the executable's own folder, everything lives there.
// Only a program with no tool beside it uses the current folder's tool, and
// keeps everything in that folder.
#pragma once

#include <string>

// What the decision is made from.
struct StartupFacts {
  std::string currentDir;     // the current directory; empty when unreadable
  std::string executableDir;  // the folder of the running program; empty when unknown
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME as set (empty when unset)
  std::string home;           // $HOME, else the account's home folder; may be empty
};

struct StartupPlaces {
  std::string toolPath;     // the brenvox.exe that is checked at start and run
  std::string settingsDir;  // the folder of gui.ini
  std::string targetDir;    // the folder of the default image target ("<dir>/image")
  bool perUser = false;     // settingsDir is the per-user folder, made when gui.ini is written
};

// Everything in one folder: the described start-up.
StartupPlaces PlacesInFolder(const std::string& dir);

// The places for these facts. The tool beside the executable wins; without
// one, the places are those of the current directory (and the start-up
// reports the tool missing there when it has none either).
StartupPlaces DecideStartupPlaces(const StartupFacts& facts);

// The program's name from the path of its executable: the file name without
// its extension ("/opt/x/mygui" -> "mygui", "a/brenvoxgui.bin" -> "brenvoxgui").
std::string ProgramNameOf(const std::string& executablePath);
// The path of the running executable; empty when it cannot be read.
std::string RunningExecutable();

// The facts of this process: the executable from /proc/self/exe, the
// environment, the password database for a missing $HOME.
StartupFacts GatherStartupFacts(const std::string& currentDir);

// Makes the per-user settings folder and any missing parents, new ones
// readable by the user alone. True when the folder exists afterwards.
bool MakeSettingsFolder(const std::string& dir);
