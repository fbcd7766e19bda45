// Placeholder: filled in by its own change.
#include "app/LayoutApp.h"

bool LayoutApp::OnInit() { return true; }
int LayoutApp::OnRun() { return 0; }
