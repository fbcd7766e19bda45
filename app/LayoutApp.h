// The application object: runs the main window modally and ends the program
// when it closes. The exit status is 0 in every case.
#pragma once

#include <wx/app.h>

class LayoutApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
};
