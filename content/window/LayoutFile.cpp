// Save and Load of the layout structure file (.kbv): one line, the option
// string without its leading blank. Load rebuilds the layout and hands the
// options the file names back to the window.
#include "content/window/LayoutFile.h"

#include <filesystem>

#include "common/FileFilter.h"
#include "common/window/MessageBox.h"
#include "common/Texts.h"
#include "common/WholeFile.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/LayoutModel.h"

namespace {

FileDialogRequest StructureFileRequest(bool openMode) {
  FileDialogRequest request;
  request.openMode = openMode;
  request.defaultExtension = "kbv";
  request.mustExist = true;
  request.filter = STRUCTURE_FILTER;
  return request;
}

// Whether a name is taken. The file is replaced by a rename, which does not
// need it readable: one that cannot be read (or a link to nothing) is asked
// about too.
bool NameIsTaken(const std::string& path) {
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() !=
         std::filesystem::file_type::not_found;
}

// The text of a structure file: false when it cannot be read, is not a
// regular file or is larger than any layout.
bool ReadStructureFile(const std::string& path, std::string& text) {
  return ReadRegularFile(path, MAX_STRUCTURE_FILE_BYTES, text);
}

// One chosen path, or false when the dialog was cancelled.
bool ChooseStructureFile(FileChooser& chooser, bool openMode, std::string& path) {
  std::vector<std::string> paths;
  if (!chooser.ChooseFiles(StructureFileRequest(openMode), paths) || paths.empty()) return false;
  path = paths.front();
  return true;
}

// The parent of a folder read from a "-d" value: its ancestors looked up from
// the top level down, the first match at each level. When one is missing the
// folder goes to the top level.
int FolderParent(const LayoutModel& layout, const std::vector<std::string>& components) {
  int parent = LayoutModel::TOP_LEVEL;
  for (std::size_t i = 0; i + 1 < components.size(); ++i) {
    parent = layout.FindFolder(components[i], parent);
    if (parent == 0) return LayoutModel::TOP_LEVEL;
  }
  return parent;
}

// Carries the parsed actions out on the layout and returns the options. Files
// go into the folder made last ("current"), the top level before any.
std::vector<StructureAction> ApplyStructure(CDropTreeCtrl& tree,
                                            const std::vector<StructureAction>& actions) {
  LayoutModel& layout = tree.Model();
  std::vector<StructureAction> options;
  layout.BeginCommand();
  tree.Freeze();
  int current = LayoutModel::TOP_LEVEL;
  for (const StructureAction& action : actions) {
    if (action.kind == StructureActionKind::MakeFolder) {
      // A folder that cannot be made (the store is full) leaves its parent current.
      const int parent = FolderParent(layout, action.components);
      const int made = layout.InsertFolder(action.components.back(), parent);
      current = made > 0 ? made : parent;
    } else if (action.kind == StructureActionKind::AddForm1File) {
      layout.InsertPath(action.value, current);
    } else if (action.kind == StructureActionKind::AddForm2File) {
      const int item = layout.InsertPath(action.value, current);
      if (item > 0) layout.SetForm2(item, true);
    } else {
      options.push_back(action);
    }
  }
  tree.Thaw();
  tree.EndInsertCommand();
  return options;
}

}  // namespace

LayoutFileCommands::LayoutFileCommands(CDropTreeCtrl& tree, FileChooser& chooser,
                                       wxWindow* messageParent)
    : m_tree(tree), m_chooser(chooser), m_parent(messageParent) {}

void LayoutFileCommands::Save(const CommandLine* entries) {
  if (!entries) {
    ShowMessage(wxString::FromUTF8(MSG_NOTHING_TO_SAVE), m_parent);
    return;
  }
  std::string path;
  if (!ChooseStructureFile(m_chooser, false, path)) return;
  if (NameIsTaken(path) && !AskYesNo(wxString::FromUTF8(MSG_REPLACE_FILE), m_parent)) return;
  // Written whole: a failure leaves any previous file as it was.
  if (!WriteFileWhole(path, RenderStructureFile(*entries))) {
    ShowMessage(wxString::FromUTF8(MSG_CANNOT_SAVE), m_parent);
  }
}

bool LayoutFileCommands::Load(std::vector<StructureAction>& options) {
  m_tree.ClearHint();
  std::string path;
  if (!ChooseStructureFile(m_chooser, true, path)) return false;
  return LoadFile(path, options);
}

bool LayoutFileCommands::LoadFile(const std::string& path, std::vector<StructureAction>& options) {
  m_tree.ClearHint();
  std::string text;
  if (!ReadStructureFile(path, text)) {
    ShowMessage(wxString::FromUTF8(MSG_CANNOT_OPEN), m_parent);
    return false;
  }
  m_tree.ResetTree();
  options = ApplyStructure(m_tree, ParseStructure(text));
  return true;
}
