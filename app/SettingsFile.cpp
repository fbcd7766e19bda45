#include "app/SettingsFile.h"

#include <cctype>
#include <climits>

#include "common/WholeFile.h"

namespace {

// Line 1 ends at a line feed among its first 1000 characters (positions 0 to
// 999); reading stops after a line feed or after 1001 characters. A CR LF
// pair counts as the one line feed that text mode reads.
constexpr std::size_t LINE1_MAX_LF_POSITION = 999;
constexpr std::size_t LINE1_MAX_READ = 1001;
// The most of the file that can count: line 1 with a CR LF, then line 2's
// three numbers with room for the white space before each. The rest is not
// read, so a gui.ini that is huge or a link to a device costs no memory.
constexpr std::size_t SETTINGS_READ_LIMIT = LINE1_MAX_READ + 1 + 4096;

struct Line1 {
  std::optional<std::string> target;  // none: the default target stands
  std::size_t next = 0;               // where the scan of line 2 begins
};

Line1 ReadLine1(const std::string& content) {
  Line1 line;
  std::size_t pos = 0;
  for (std::size_t count = 0; count < LINE1_MAX_READ && pos < content.size(); ++count) {
    const bool crlf = content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n';
    if (content[pos] == '\n' || crlf) {
      line.next = pos + (crlf ? 2 : 1);
      if (count <= LINE1_MAX_LF_POSITION) line.target = content.substr(0, pos);
      return line;
    }
    ++pos;
  }
  line.next = pos;
  return line;
}

// One "%d" conversion: white space skipped, an optional sign, then digits.
// A value outside int counts as not converted.
std::optional<int> ScanInt(const std::string& text, std::size_t& pos) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  std::size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  const std::size_t digitsStart = p;
  long long value = 0;
  while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
    value = value * 10 + (text[p++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (p == digitsStart) return std::nullopt;
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  pos = p;
  return static_cast<int>(value);
}

}  // namespace

std::string DefaultImageTarget(const std::string& startupDir) {
  return startupDir + "/image";
}

Settings ParseSettings(const std::string& content, const std::string& startupDir) {
  Settings settings;
  const Line1 line1 = ReadLine1(content);
  settings.imageTarget = line1.target ? *line1.target : DefaultImageTarget(startupDir);
  std::size_t pos = line1.next;
  const std::optional<int> first = ScanInt(content, pos);
  const std::optional<int> second = first ? ScanInt(content, pos) : std::nullopt;
  const std::optional<int> third = second ? ScanInt(content, pos) : std::nullopt;
  if (third) settings.checks = CheckStates{*first, *second, *third};
  return settings;
}

Settings LoadSettingsFile(const std::string& iniPath, const std::string& startupDir) {
  std::string content;
  if (!ReadFileHead(iniPath, SETTINGS_READ_LIMIT, content)) {
    return Settings{DefaultImageTarget(startupDir), {}};
  }
  return ParseSettings(content, startupDir);
}

std::string FormatSettings(const std::string& imageTarget, const CheckStates& checks) {
  return imageTarget + "\n" + std::to_string(checks.viewPrompt) + " " +
         std::to_string(checks.keepExtension) + " " + std::to_string(checks.singleTrack);
}

bool SaveSettingsFile(const std::string& iniPath, const std::string& imageTarget,
                      const CheckStates& checks) {
  return WriteFileWhole(iniPath, FormatSettings(imageTarget, checks));
}
