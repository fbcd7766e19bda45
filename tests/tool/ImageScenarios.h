// The layouts the image tests write: Form 1 and Form 2 files, several tracks
// and one, each naming level, clashing names, deep and empty folders, empty
// files, a directory of several blocks. Shared by the oracle test (each image
// checked by independent readers) and the read-back test (each image
// extracted and written again).
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

struct Step {
  char kind;             // 'f' Form 1 file, 'm' Form 2 file, 'd' folder
  std::string value;     // file: its name on disk; folder: the in-image path
  std::size_t size = 0;  // file size
  std::string expected;  // file: the recorded path, without ";1" and trailing dot
};

struct Scenario {
  std::string name;
  std::vector<std::string> settings;  // everything but -o and the layout entries
  std::vector<Step> steps;
  std::vector<std::string> renames;   // files the tool must report as renamed
};

inline void PrintTo(const Scenario& sc, std::ostream* os) { *os << sc.name; }

struct Built {
  ScratchDir dir;
  std::string bin, cue;
  std::vector<std::string> args;
  std::map<std::string, std::string> sourceOf;  // expected path -> source file
  std::map<std::string, bool> form2Of;
};

// Writes the scenario's source files and the tool's arguments (image at
// DIR/image/disc); the tool is not run.
void Build(const Scenario& sc, Built& b);

const std::vector<Scenario>& ImageScenarios();
