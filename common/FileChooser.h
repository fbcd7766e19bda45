// How the program asks the user for files and folders. The real chooser shows
// CMFileDialog / wxDirDialog; tests answer through their own implementation.
#pragma once

#include <string>
#include <vector>

// What one file dialog is asked to show.
struct FileDialogRequest {
  bool openMode = true;           // false: save mode
  bool multiple = false;          // open mode: several files may be chosen at once
  bool mustExist = false;         // open mode: only an existing file is accepted
  std::string defaultExtension;   // "" for none
  std::string filter;             // "desc|pattern|...||" form, "" for none
  std::string title;              // "" for the platform's default title
  std::string proposedPath;       // save mode: the folder and name offered first ("" none)

  bool operator==(const FileDialogRequest&) const = default;
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
