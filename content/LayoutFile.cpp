// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnSave() {}
void MainDialog::OnLoad() {}
