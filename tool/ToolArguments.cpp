#include "tool/ToolArguments.h"

#ifndef BRENVOX_VERSION
#error "BRENVOX_VERSION is set by the build"
#endif

namespace {

// Options that take the next argument as their value, whatever it looks like
// (a path may well begin with a dash).
bool takeValue(const std::string& option, ToolOptions& o, std::string value) {
  if (option == "-o") {
    o.target = std::move(value);
  } else if (option == "-v") {
    o.volume = std::move(value);
  } else if (option == "-e") {
    o.form2Extension = std::move(value);
  } else if (option == "-f") {
    o.entries.push_back({EntryKind::Form1File, std::move(value)});
  } else if (option == "-m") {
    o.entries.push_back({EntryKind::Form2File, std::move(value)});
  } else if (option == "-d") {
    o.entries.push_back({EntryKind::Folder, std::move(value)});
  } else {
    return false;
  }
  return true;
}

bool takeFlag(const std::string& option, ToolOptions& o) {
  if (option == "-x") {
    o.keepExtension = true;
  } else if (option == "-s") {
    o.singleTrack = true;
  } else if (option == "-isolevel1") {
    o.isoLevel = IsoLevel::Level1;
  } else if (option == "-isolevel2") {
    o.isoLevel = IsoLevel::Level2;
  } else {
    return false;
  }
  return true;
}

bool needsValue(const std::string& option) {
  return option == "-o" || option == "-v" || option == "-e" || option == "-f" ||
         option == "-m" || option == "-d";
}

}  // namespace

ParsedArguments parseToolArguments(const std::vector<std::string>& args) {
  ToolOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (needsValue(arg)) {
      if (i + 1 >= args.size()) return {std::nullopt, "option " + arg + " needs a value"};
      takeValue(arg, options, args[++i]);
    } else if (!takeFlag(arg, options)) {
      return {std::nullopt, "unknown option '" + arg + "'"};
    }
  }
  if (options.target.empty()) return {std::nullopt, "no image target (-o) given"};
  return {std::move(options), {}};
}

std::optional<std::string> informationRequest(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help") return usageText();
    if (args[i] == "--version") return versionText();
    if (needsValue(args[i])) ++i;
  }
  return std::nullopt;
}

std::string versionText() { return std::string("brenvox.exe ") + BRENVOX_VERSION + "\n"; }

std::string usageText() {
  return "usage: brenvox.exe -o TARGET [-v VOLUME] [-e EXT] [-x] [-s] [-isolevel1 | -isolevel2]\n"
         "                   [-f FILE | -m FILE | -d FOLDER]...\n"
         "  -o TARGET   write TARGET.bin and TARGET.cue\n"
         "  -v VOLUME   volume identifier (default CDROM)\n"
         "  -e EXT      extension given to Form 2 files\n"
         "  -x          Form 2 files keep their own extension\n"
         "  -s          single track: every file in the data track\n"
         "  -isolevel1  ISO 9660 level 1 names (8.3); -isolevel2: level 2 (30 characters)\n"
         "  -f FILE     add FILE as a Form 1 file to the current folder\n"
         "  -m FILE     add FILE as a Form 2 file to the current folder\n"
         "  -d FOLDER   make FOLDER (in-image path, parts joined by \\) the current folder\n"
         "  --help      print this text; --version: print the version\n";
}
