// The application object: runs the main window modally and ends the program
// when it closes. The exit status is 0 in every case.
#pragma once

#include <wx/app.h>

#include <memory>
#include <string>

class MainDialog;

// The main window as the program makes it: the real file and folder dialogs,
// opened over the window.
std::unique_ptr<MainDialog> MakeMainWindow(const std::string& startupDir);

class LayoutApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
};
