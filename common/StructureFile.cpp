// Reading a layout structure file: the tokenizer and the parse into actions.
// The window carries the actions out; nothing here touches a control.
#include "common/StructureFile.h"

#include "common/OptionTable.h"

std::string StructureTokenizer::Next(std::string_view delimiters) {
  const std::size_t start = m_text.find_first_not_of(delimiters, m_pos);
  if (start == std::string_view::npos) {
    m_pos = m_text.size();
    return {};
  }
  std::size_t end = m_text.find_first_of(delimiters, start);
  if (end == std::string_view::npos) {
    end = m_text.size();
    m_pos = end;
  } else {
    m_pos = end + 1;  // past the delimiter that ended the token
  }
  return std::string(m_text.substr(start, end - start));
}

std::vector<std::string> SplitFolderPath(std::string_view value) {
  std::vector<std::string> components;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = value.find('\\', start);
    if (slash == std::string_view::npos) {
      components.emplace_back(value.substr(start));
      return components;
    }
    components.emplace_back(value.substr(start, slash - start));
    start = slash + 1;
  }
}

std::string JoinFolderPath(const std::vector<std::string>& components) {
  std::string joined;
  for (const std::string& component : components) {
    if (!joined.empty()) joined += '\\';
    joined += component;
  }
  return joined;
}

namespace {

// The action of an option a .kbv entry can hold.
StructureActionKind ActionOf(Option option) {
  switch (option) {
    case Option::Folder: return StructureActionKind::MakeFolder;
    case Option::Form2Extension: return StructureActionKind::SetForm2Ext;
    case Option::Form1File: return StructureActionKind::AddForm1File;
    case Option::Form2File: return StructureActionKind::AddForm2File;
    case Option::Target: return StructureActionKind::SetImagePath;
    case Option::SingleTrack: return StructureActionKind::SetSingleTrack;
    case Option::Volume: return StructureActionKind::SetVolumeName;
    case Option::KeepExtension: return StructureActionKind::SetKeepExtension;
    case Option::IsoLevel1:
    case Option::IsoLevel2:
    case Option::PlanOnly: break;
  }
  return StructureActionKind::SetKeepExtension;  // not reached: these have no letter
}

}  // namespace

std::vector<StructureAction> ParseStructure(std::string_view text) {
  // The text ends at a NUL byte: no path or name can hold one, and a value
  // cut there would name another file than the one the store would keep.
  text = text.substr(0, text.find('\0'));
  std::vector<StructureAction> actions;
  StructureTokenizer tokens(text);
  for (std::string token = tokens.NextOption(); !token.empty();
       token = tokens.NextOption()) {
    const OptionInfo* info = FindLayoutLetter(token.front());
    if (!info) continue;
    StructureAction action{ActionOf(info->option), {}, {}};
    if (info->takesValue) {
      action.value = tokens.NextValue();
      if (action.kind == StructureActionKind::MakeFolder) {
        // An empty name makes no folder: "a\\b" is read as "a\b", and a
        // value with no name at all ("\", or none at the end) makes nothing.
        action.components = SplitFolderPath(action.value);
        std::erase(action.components, std::string());
        if (action.components.empty()) continue;
        action.value = JoinFolderPath(action.components);
      }
    }
    actions.push_back(std::move(action));
  }
  return actions;
}
