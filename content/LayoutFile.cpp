// Save and Load of the layout structure file (.kbv): one line, the option
// string without its leading blank. Load rebuilds the tree and sets the
// options the file names; the options it does not name keep their values.
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <filesystem>

#include "app/FileFilter.h"
#include "app/MainDialog.h"
#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "app/WholeFile.h"
#include "content/StructureFile.h"
#include "layout/DropTreeCtrl.h"

namespace {

constexpr const char* MSG_NOTHING_TO_SAVE = "I've nothing to save!";
constexpr const char* MSG_REPLACE_FILE = "This file already exists.\nDo you want to replace it?";
constexpr const char* MSG_CANNOT_SAVE = "Cannot save structure";
constexpr const char* MSG_CANNOT_OPEN = "Cannot open file";

FileDialogRequest StructureFileRequest(bool openMode) {
  FileDialogRequest request;
  request.openMode = openMode;
  request.defaultExtension = "kbv";
  request.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
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

// The text of a structure file; false when it cannot be read. A folder
// chosen by name cannot be opened as a file.
bool ReadStructureFile(const std::string& path, std::string& text) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  return ReadFileWhole(path, text);
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
wxTreeItemId FolderParent(const CDropTreeCtrl& tree, const std::vector<std::string>& components) {
  wxTreeItemId parent;
  wxTreeItemIdValue cookie;
  wxTreeItemId first = tree.GetFirstChild(tree.TopLevel(), cookie);
  for (std::size_t i = 0; i + 1 < components.size(); ++i) {
    parent = tree.FindFolder(components[i], first);
    if (!parent.IsOk()) return wxTreeItemId();
    first = tree.GetFirstChild(parent, cookie);
  }
  return parent;
}

// An option the file sets: the edits take the value as it stands (the four
// characters of "Form2 Ext." bound typing only), the boxes are turned on.
void ApplyOption(MainDialog& window, const StructureAction& action) {
  switch (action.kind) {
    case StructureActionKind::SetForm2Ext:
      window.Form2ExtEdit()->ChangeValue(ToDisplay(action.value));
      break;
    case StructureActionKind::SetImagePath:
      window.SetImagePathText(action.value);  // the bytes are kept for the next build
      break;
    case StructureActionKind::SetVolumeName:
      window.VolumeNameEdit()->ChangeValue(ToDisplay(action.value));
      break;
    case StructureActionKind::SetSingleTrack: window.SingleTrackBox()->SetValue(true); break;
    case StructureActionKind::SetKeepExtension: window.KeepExtensionBox()->SetValue(true); break;
    default: break;
  }
}

// Carries the parsed actions out on the tree and the option controls. Files
// go into the folder made last ("current"), the top level before any.
void ApplyStructure(MainDialog& window, const std::vector<StructureAction>& actions) {
  CDropTreeCtrl& tree = *window.Tree();
  tree.BeginInsertCommand();
  tree.Freeze();
  wxTreeItemId current;
  for (const StructureAction& action : actions) {
    if (action.kind == StructureActionKind::MakeFolder) {
      current = tree.InsertPath(action.components.back(),
                                FolderParent(tree, action.components), false);
    } else if (action.kind == StructureActionKind::AddForm1File) {
      tree.InsertPath(action.value, current, true);
    } else if (action.kind == StructureActionKind::AddForm2File) {
      const wxTreeItemId item = tree.InsertPath(action.value, current, true);
      if (item.IsOk() && item != current) tree.MarkForm2(item);
    } else {
      ApplyOption(window, action);
    }
  }
  tree.Thaw();
}

}  // namespace

void MainDialog::OnSave() {
  if (!BuildCommandLine()) {
    ShowMessage(wxString::FromUTF8(MSG_NOTHING_TO_SAVE), this);
    return;
  }
  std::string path;
  if (!ChooseStructureFile(*m_chooser, false, path)) return;
  if (NameIsTaken(path) && !AskYesNo(wxString::FromUTF8(MSG_REPLACE_FILE), this)) return;
  // Written whole: a failure leaves any previous file as it was.
  if (!WriteFileWhole(path, RenderStructureFile(m_entries))) {
    ShowMessage(wxString::FromUTF8(MSG_CANNOT_SAVE), this);
  }
}

void MainDialog::OnLoad() {
  m_tree->ClearHint();
  std::string path;
  if (!ChooseStructureFile(*m_chooser, true, path)) return;
  LoadLayoutFile(path);
}

void MainDialog::LoadLayoutFile(const std::string& path) {
  m_tree->ClearHint();
  std::string text;
  if (!ReadStructureFile(path, text)) {
    ShowMessage(wxString::FromUTF8(MSG_CANNOT_OPEN), this);
    return;
  }
  m_tree->ResetTree();
  m_keepExtension->SetValue(false);
  ApplyStructure(*this, ParseStructure(text));
}

