// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnMakeFolder() {}
void MainDialog::OnRemove() {}
void MainDialog::OnToggleForm2() {}
