// The program's real FileChooser: CMFileDialog for files, wxDirDialog for
// folders, each run modally over the main window.
#pragma once

#include "common/FileChooser.h"

class wxWindow;

class DialogChooser : public FileChooser {
 public:
  explicit DialogChooser(wxWindow* parent = nullptr) : m_parent(parent) {}
  void SetParent(wxWindow* parent) { m_parent = parent; }

  bool ChooseFiles(const FileDialogRequest& request, std::vector<std::string>& paths) override;
  bool ChooseFolder(std::string& path) override;

 private:
  wxWindow* m_parent;
};
