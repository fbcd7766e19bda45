// The small dialog in which a folder name is typed (Make Folder) or edited
// (Rename). OK only closes it once the name passes the checks.
#pragma once

#include <wx/dialog.h>

#include <string>

class wxTextCtrl;

class CFolderName : public wxDialog {
 public:
  // Without initial text: a new folder. With it: a rename.
  explicit CFolderName(wxWindow* parent);
  CFolderName(wxWindow* parent, const std::string& initialName);

  // The name read when OK was last pressed.
  const std::string& Name() const { return m_name; }
  wxTextCtrl* Edit() const { return m_edit; }
  bool IsRename() const { return m_isRename; }

  // Runs the checks on the edit's text; ends the dialog with OK when they pass.
  void OnOK();
  // Reads the edit (at most 499 characters) into the name and checks it; a
  // refused name is reported and the focus goes back to the edit.
  bool AcceptName();

 private:
  void Create(wxWindow* parent);
  void PrepareEdit();
  void OnShow(wxShowEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void Finish(int result);

  wxTextCtrl* m_edit = nullptr;
  bool m_isRename = false;
  std::string m_initialName;  // a rename's old name, as bytes
  std::string m_name;
};
