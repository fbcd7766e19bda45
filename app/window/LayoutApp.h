// The application object: runs the main window modally and ends the program
// when it closes. The exit status is 0 in every case.
#pragma once

#include <wx/app.h>

#include <memory>
#include <optional>
#include <string>

#include "app/StartupPlaces.h"

class MainDialog;

// The main window as the program makes it: the real file and folder dialogs,
// opened over the window.
std::unique_ptr<MainDialog> MakeMainWindow(StartupPlaces places);

class LayoutApp : public wxApp {
 public:
  // The layout file named on the command line, as bytes; set by main before
  // the framework starts.
  static void SetLayoutFile(std::string path);

  bool OnInit() override;
  int OnRun() override;

 private:
  static std::optional<std::string> s_layoutFile;
};
