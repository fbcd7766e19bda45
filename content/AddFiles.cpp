// Placeholder: filled in by its own change.
#include "app/MainDialog.h"
#include "layout/DropTreeCtrl.h"

void MainDialog::OnAddFiles() {}
void MainDialog::OnAddMediaFiles() {}
