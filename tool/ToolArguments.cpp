#include "tool/ToolArguments.h"

#include <algorithm>
#include <cstring>

#include "common/OptionTable.h"
#include "common/PosixFile.h"
#include "common/StructureFile.h"

#ifndef BRENVOX_VERSION
#error "BRENVOX_VERSION is set by the build"
#endif

namespace {

// Whether an option takes the next argument as its value, whatever that
// looks like (a path may well begin with a dash).
bool NeedsValue(const std::string& option) {
  const OptionInfo* info = FindOption(option);
  return info && info->takesValue;
}

// The text of an argument file, read as Load reads a layout: only a regular
// file (a memfd or an unlinked file passed as /dev/fd/N is one) of at most
// the size of a layout, and its text ends at a NUL byte, which no path or
// name can hold. Anything else (a device, a FIFO, a huge file) is refused
// before it is read. An error text when it cannot be read.
std::optional<std::string> ReadArgumentText(const std::string& path, std::string& text) {
  int error = 0;
  switch (ReadRegularFileWhole(path, MAX_STRUCTURE_FILE_BYTES, text, &error)) {
    case RegularRead::Read:
      text.resize(std::min(text.size(), text.find('\0')));
      return std::nullopt;
    case RegularRead::NotRegularFile:
      return std::string("it is not a regular file");
    case RegularRead::TooLarge:
      return "it is larger than a layout may be (" + std::to_string(MAX_STRUCTURE_FILE_BYTES >> 20) + " MiB)";
    default:
      return std::string(std::strerror(error));
  }
}

void TakeOption(Option option, ToolOptions& o, std::string value) {
  switch (option) {
    case Option::Target: o.target = std::move(value); break;
    case Option::Volume: o.volume = std::move(value); break;
    case Option::Form2Extension: o.form2Extension = std::move(value); break;
    case Option::KeepExtension: o.keepExtension = true; break;
    case Option::SingleTrack: o.singleTrack = true; break;
    case Option::IsoLevel1: o.isoLevel = IsoLevel::Level1; break;
    case Option::IsoLevel2: o.isoLevel = IsoLevel::Level2; break;
    case Option::PlanOnly: o.planOnly = true; break;
    case Option::Form1File: o.entries.push_back({EntryKind::Form1File, std::move(value)}); break;
    case Option::Form2File: o.entries.push_back({EntryKind::Form2File, std::move(value)}); break;
    case Option::Folder: o.entries.push_back({EntryKind::Folder, std::move(value)}); break;
  }
}

// The entries of an argument file, in the layout structure file's grammar:
// option tokens end at a minus sign or a blank, values run between double
// quotes. Line breaks around an option are passed over, so that a file may
// hold one entry per line.
std::optional<std::string> ReadArgumentFile(const std::string& path, std::vector<std::string>& out) {
  std::string text;
  if (auto error = ReadArgumentText(path, text)) return "cannot read argument file " + path + ": " + *error;
  StructureTokenizer tokens(text);
  for (std::string token = tokens.NextOption(); !token.empty(); token = tokens.NextOption()) {
    const char* const space = " \t\r\n\v\f";
    const std::size_t first = token.find_first_not_of(space);
    if (first == std::string::npos) continue;
    // The token with the blanks and line breaks around it taken off, after a dash.
    std::string option(1, '-');
    option.append(token, first, token.find_last_not_of(space) + 1 - first);
    out.push_back(option);
    if (!NeedsValue(option)) continue;
    std::string value = tokens.NextValue();
    if (value.empty()) return "option " + option + " in argument file " + path + " needs a value";
    out.push_back(std::move(value));
  }
  return std::nullopt;
}

// Whether `arg` is an @FILE: one that stands where an option is expected.
bool IsArgumentFile(const std::string& arg, bool valueNext) {
  return !valueNext && arg.size() > 1 && arg.front() == '@';
}

// Replaces every @FILE that stands where an option is expected with the
// entries read from FILE. A value (the argument after -o, -f, ...) is never
// expanded, whatever it begins with. The arguments are moved, not copied: a
// layout of many files passes as many paths.
std::optional<std::string> ExpandArgumentFiles(std::vector<std::string>& args) {
  bool valueNext = false;
  bool any = false;
  for (const std::string& arg : args) {
    any = any || IsArgumentFile(arg, valueNext);
    valueNext = !valueNext && NeedsValue(arg);
  }
  if (!any) return std::nullopt;
  std::vector<std::string> out;
  valueNext = false;
  for (std::string& arg : args) {
    if (IsArgumentFile(arg, valueNext)) {
      if (auto error = ReadArgumentFile(arg.substr(1), out)) return error;
      continue;
    }
    valueNext = !valueNext && NeedsValue(arg);
    out.push_back(std::move(arg));
  }
  args = std::move(out);
  return std::nullopt;
}

}  // namespace

ParsedArguments ParseToolArguments(std::vector<std::string> args) {
  if (auto error = ExpandArgumentFiles(args)) return {std::nullopt, *error};
  ToolOptions options;
  options.entries.reserve(args.size() / 2);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const OptionInfo* info = FindOption(arg);
    if (!info) return {std::nullopt, "unknown option '" + arg + "'"};
    if (!info->takesValue) {
      TakeOption(info->option, options, {});
    } else if (i + 1 >= args.size()) {
      return {std::nullopt, "option " + arg + " needs a value"};
    } else {
      TakeOption(info->option, options, std::move(args[++i]));
    }
  }
  if (options.target.empty()) return {std::nullopt, "no image target (-o) given"};
  return {std::move(options), {}};
}

std::optional<std::string> InformationRequest(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help") return UsageText();
    if (args[i] == "--version") return VersionText();
    if (NeedsValue(args[i])) ++i;
  }
  return std::nullopt;
}

std::string VersionText() { return std::string("brenvox.exe ") + BRENVOX_VERSION + "\n"; }

std::string UsageText() {
  return "usage: brenvox.exe -o TARGET [-v VOLUME] [-e EXT] [-x] [-s] [-isolevel1 | -isolevel2] [-n]\n"
         "                   [-f FILE | -m FILE | -d FOLDER]...\n"
         "       brenvox.exe @LAYOUT.kbv [more options]\n"
         "       brenvox.exe --extract IMAGE FOLDER\n"
         "       brenvox.exe --check IMAGE\n"
         "  -o TARGET   write TARGET.bin and TARGET.cue\n"
         "  -v VOLUME   volume identifier (default CDROM)\n"
         "  -e EXT      extension given to Form 2 files\n"
         "  -x          Form 2 files keep their own extension\n"
         "  -s          single track: every file in the data track\n"
         "  -isolevel1  ISO 9660 level 1 names (8.3); -isolevel2: level 2 (30 characters)\n"
         "  -f FILE     add FILE as a Form 1 file to the current folder\n"
         "  -m FILE     add FILE as a Form 2 file to the current folder\n"
         "  -d FOLDER   make FOLDER (in-image path, parts joined by \\) the current folder\n"
         "  -n          plan only: lay the image out, print every name that changes and\n"
         "              the last line of a run (the image and its sectors); write nothing\n"
         "  @FILE       the entries written in FILE, as a saved layout (.kbv) holds them:\n"
         "              -o \"TARGET\" -x -d \"VIDEO\" -m \"/clips/a.mpg\" ...\n"
         "  --extract   write every folder and file of IMAGE (.cue, .bin or .iso) into\n"
         "              FOLDER (made if missing, refused if not empty) and the layout\n"
         "              FOLDER.kbv that writes the image again\n"
         "  --check     read every sector of IMAGE and its file system; one line per fault\n"
         "  --help      print this text; --version: print the version\n"
         "environment:\n"
         "  SOURCE_DATE_EPOCH       fixes every date (seconds since 1970, up to 2155)\n"
         "  BRENVOX_SECTOR_CODE     \"portable\": the portable sector code only\n"
         "  BRENVOX_ENCODE_THREADS  encoding workers (1 to 64; default: one per processor)\n"
         "exit status:\n"
         "  0  the image is written (with -n: planned)\n"
         "  1  usage error, a refused target or SOURCE_DATE_EPOCH\n"
         "  2  an input file is missing, unreadable, a folder, or changed while written\n"
         "  3  the image cannot be written, or an output is not a regular file\n"
         "  4  the layout cannot be laid out (too long, too many tracks, too deep)\n"
         "  5  --check found faults in the image\n";
}
