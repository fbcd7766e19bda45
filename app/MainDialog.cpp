// Placeholder: filled in by its own change.
#include "app/MainDialog.h"

#include "image/ToolRun.h"
#include "layout/DropTreeCtrl.h"

MainDialog::MainDialog(wxWindow*, std::string startupDir, std::unique_ptr<FileChooser> chooser)
    : m_startupDir(std::move(startupDir)), m_timer(this, RUN_TIMER_ID), m_chooser(std::move(chooser)) {}
MainDialog::~MainDialog() = default;
bool MainDialog::Initialize() { return false; }
