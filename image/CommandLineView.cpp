// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnViewCmdLine() {}
void MainDialog::OnGenerateBatch() {}
