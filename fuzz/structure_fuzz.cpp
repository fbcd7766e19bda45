// libFuzzer target for reading layout structure files: any bytes must parse
// without a crash or a hang, and what the parser gives must hold together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/StructureFile.h"
#include "common/CommandLine.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool HasValue(StructureActionKind kind) {
  return kind != StructureActionKind::SetSingleTrack &&
         kind != StructureActionKind::SetKeepExtension;
}

char OptionLetter(StructureActionKind kind) {
  static const char letters[] = "defmosvx";
  return letters[static_cast<int>(kind)];
}

std::string JoinComponents(const std::vector<std::string>& components) {
  std::string joined;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) joined += '\\';
    joined += components[i];
  }
  return joined;
}

// The entries Save would write for these actions.
CommandLine ToEntries(const std::vector<StructureAction>& actions) {
  CommandLine entries;
  for (const auto& a : actions) {
    const std::string option{'-', OptionLetter(a.kind)};
    entries.push_back({option, HasValue(a.kind), HasValue(a.kind) ? a.value : std::string()});
  }
  return entries;
}

bool SameActions(const std::vector<StructureAction>& a, const std::vector<StructureAction>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].value != b[i].value ||
        a[i].components != b[i].components) {
      return false;
    }
  }
  return true;
}

void CheckActions(const std::vector<StructureAction>& actions) {
  bool everyValueGiven = true;
  for (const auto& a : actions) {
    Check(a.value.find('"') == std::string::npos);
    if (a.kind == StructureActionKind::MakeFolder) {
      Check(!a.components.empty());
      Check(JoinComponents(a.components) == a.value);
      for (const auto& c : a.components) {
        Check(!c.empty() && c.find('\\') == std::string::npos);
      }
    }
    if (HasValue(a.kind) && a.value.empty()) everyValueGiven = false;
  }
  // An empty value cannot be written back (two quotes read as none), so the
  // round trip holds when every value was given.
  if (everyValueGiven) {
    Check(SameActions(ParseStructure(RenderStructureFile(ToEntries(actions))), actions));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckActions(ParseStructure(text));
  const std::vector<std::string> components = SplitFolderPath(text);
  Check(JoinComponents(components) == text);
  return 0;
}
