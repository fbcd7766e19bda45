// The tool's command-line grammar: an option string of entries, each a blank
// and an option, with a value following as a blank and the value in double
// quotes, copied unchanged (nothing escaped: the tool reads it as it stands).
#include "common/CommandLine.h"

#include <string_view>

#include "common/Texts.h"
#include "common/Translate.h"

CommandEntry MakeEntry(Option option, std::string value) {
  const OptionInfo& info = InfoOf(option);
  return CommandEntry{std::string(info.text), info.takesValue,
                      info.takesValue ? std::move(value) : std::string()};
}

void AppendSettingsEntries(const CommandSettings& settings, CommandLine& out) {
  if (!settings.imagePath.empty()) out.push_back(MakeEntry(Option::Target, settings.imagePath));
  if (!settings.volumeName.empty()) out.push_back(MakeEntry(Option::Volume, settings.volumeName));
  if (!settings.form2Ext.empty()) out.push_back(MakeEntry(Option::Form2Extension, settings.form2Ext));
  if (settings.keepExtension) out.push_back(MakeEntry(Option::KeepExtension));
  if (settings.singleTrack) out.push_back(MakeEntry(Option::SingleTrack));
  if (settings.isoLevelIndex == 1) out.push_back(MakeEntry(Option::IsoLevel1));
  if (settings.isoLevelIndex == 2) out.push_back(MakeEntry(Option::IsoLevel2));
}

std::string RenderOptionString(const CommandLine& entries) {
  std::size_t length = 0;
  for (const CommandEntry& entry : entries) length += entry.option.size() + entry.value.size() + 4;
  std::string out;
  out.reserve(length);
  for (const CommandEntry& entry : entries) {
    out += ' ';
    out += entry.option;
    if (entry.hasValue) {
      out += " \"";
      out += entry.value;
      out += '"';
    }
  }
  return out;
}

std::vector<std::string> RenderArguments(const CommandLine& entries) {
  std::vector<std::string> args;
  args.reserve(entries.size() * 2);
  for (const CommandEntry& entry : entries) {
    args.push_back(entry.option);
    if (entry.hasValue) args.push_back(entry.value);
  }
  return args;
}

std::string RenderBatchFile(const CommandLine& entries) {
  return TOOL_NAME + RenderOptionString(entries);
}

std::string RenderStructureFile(const CommandLine& entries) {
  std::string text = RenderOptionString(entries);
  if (!text.empty()) text.erase(0, 1);
  return text;
}

std::string RenderCommandLineView(const CommandLine& entries, std::int64_t totalBytes) {
  // The options are the tool's command line and stay as they are; only the
  // size line is in the user's language.
  return RenderOptionString(entries) + "\n\n" +
         TranslatedFormat("TOTAL ESTIMATED SIZE : %lld Kb", static_cast<long long>(totalBytes / 1024));
}

namespace {

// Whether a shell reads value back byte for byte between double quotes.
bool ShellReadsLiterally(const std::string& value) {
  constexpr std::string_view EXPANDED = "$`\"";
  constexpr std::string_view ESCAPED_BY_BACKSLASH = "$`\"\\\n";
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (EXPANDED.find(value[i]) != std::string_view::npos) return false;
    if (value[i] != '\\') continue;
    // The closing quote follows the last byte.
    if (i + 1 == value.size() || ESCAPED_BY_BACKSLASH.find(value[i + 1]) != std::string_view::npos)
      return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> FirstShellExpandedValue(const CommandLine& entries) {
  for (const CommandEntry& entry : entries) {
    if (entry.hasValue && !ShellReadsLiterally(entry.value)) return entry.value;
  }
  return std::nullopt;
}
