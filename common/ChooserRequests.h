// What each command asks the file chooser for: the mode, how many files, the
// default extension a save adds, the filter and the title. Plain values, so a
// test can compare what a button asked with what the command is meant to ask.
#pragma once

#include "common/FileChooser.h"
#include "common/FileFilter.h"
#include "common/Texts.h"

// Add Files (Form 1) and Add Media Files (Form 2): several existing files.
inline FileDialogRequest AddFilesRequest(bool media) {
  FileDialogRequest request;
  request.multiple = true;
  request.mustExist = true;
  request.filter = media ? MEDIA_FILTER : "";
  request.title = media ? TITLE_ADD_MEDIA_FILES : TITLE_ADD_FILES;
  return request;
}

// Save (save mode) and Load (open mode) of the layout: one .kbv file; a name
// saved without an extension gets ".kbv".
inline FileDialogRequest StructureFileRequest(bool openMode) {
  FileDialogRequest request;
  request.openMode = openMode;
  request.defaultExtension = "kbv";
  request.mustExist = true;
  request.filter = STRUCTURE_FILTER;
  return request;
}

// The "..." beside the image target: a name taken as typed, without extension.
inline FileDialogRequest ImageTargetRequest() {
  FileDialogRequest request;
  request.openMode = false;
  request.mustExist = true;
  request.filter = CHOOSER_FILTER;
  return request;
}
