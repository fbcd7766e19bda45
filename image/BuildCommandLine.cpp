// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

bool MainDialog::BuildCommandLine() { return false; }
