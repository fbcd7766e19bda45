// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnWriteIso() {}
void MainDialog::OnTimer() {}
void MainDialog::EndRun() {}
