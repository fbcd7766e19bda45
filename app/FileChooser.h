// How the program asks the user for files and folders. The real chooser shows
// CMFileDialog / wxDirDialog; tests answer through their own implementation.
#pragma once

#include <string>
#include <vector>

// Flag values of the file dialogs, as the program has always passed them.
constexpr long OFN_HIDEREADONLY = 0x4;
constexpr long OFN_ALLOWMULTISELECT = 0x200;
constexpr long OFN_FILEMUSTEXIST = 0x1000;

// What one file dialog is asked to show.
struct FileDialogRequest {
  bool openMode = true;           // false: save mode
  std::string defaultExtension;   // "" for none
  long flags = 0;                 // OFN_* values above
  std::string filter;             // "desc|pattern|...||" form, "" for none
  std::string title;              // "" for the platform's default title
  std::string proposedPath;       // save mode: the folder and name offered first ("" none)
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // Open mode: the chosen files as full paths, in the dialog's order.
  // Save mode: exactly one path. False when cancelled.
  virtual bool ChooseFiles(const FileDialogRequest& request,
                           std::vector<std::string>& paths) = 0;
  // The folder browser of Add Folder. False when cancelled.
  virtual bool ChooseFolder(std::string& path) = 0;
};
