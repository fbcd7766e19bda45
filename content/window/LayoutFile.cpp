// Save and Load of the layout structure file (.kbv): one line, the option
// string without its leading blank. Load rebuilds the layout and hands the
// options the file names back to the window.
#include "content/window/LayoutFile.h"

#include "common/ChooserRequests.h"
#include "common/window/MessageBox.h"
#include "common/Texts.h"
#include "common/WholeFile.h"
#include "layout/window/DropTreeCtrl.h"
#include "layout/LayoutCommands.h"
#include "common/window/Translation.h"

namespace {

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

}  // namespace

LayoutFileCommands::LayoutFileCommands(CDropTreeCtrl& tree, FileChooser& chooser,
                                       wxWindow* messageParent)
    : m_tree(tree), m_chooser(chooser), m_parent(messageParent) {}

void LayoutFileCommands::Save(const CommandLine* entries) {
  if (!entries) {
    ShowMessage(Tr(MSG_NOTHING_TO_SAVE), m_parent);
    return;
  }
  std::string path;
  if (!ChooseStructureFile(m_chooser, false, path)) return;
  // The file is replaced by a rename, which does not need it readable.
  if (NameIsTaken(path) && !AskYesNo(Tr(MSG_REPLACE_FILE), m_parent)) return;
  // Written whole: a failure leaves any previous file as it was.
  if (!WriteFileWhole(path, RenderStructureFile(*entries))) {
    ShowMessage(Tr(MSG_CANNOT_SAVE), m_parent);
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
    ShowMessage(Tr(MSG_CANNOT_OPEN), m_parent);
    return false;
  }
  m_tree.ResetTree();
  LoadedLayout loaded;
  {
    CDropTreeCtrl::Insertion inserting(m_tree);
    loaded = ApplyStructure(m_tree.Model(), ParseStructure(text));
  }
  m_tree.ShowReport(loaded.report);
  options = std::move(loaded.options);
  return true;
}
