// View Cmd Line shows the option string with the size estimate; Generate
// Batch writes it behind the tool's name into "<image target>.bat".
#include "app/MainDialog.h"
#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "app/WholeFile.h"

void MainDialog::OnViewCmdLine() {
  if (!BuildCommandLine()) return;
  m_cmdLine = RenderCommandLineView(m_entries, m_totalSize);
  ShowMessage(ToDisplay(m_cmdLine), this);
}

void MainDialog::OnGenerateBatch() {
  if (!BuildCommandLine()) return;
  const std::string batchFile = m_imageTarget + ".bat";
  if (!WriteFileWhole(batchFile, RenderBatchFile(m_entries))) {
    ShowMessage(wxT("Cannot write batch file."), this);
    return;
  }
  ShowMessage(wxT("Batch file saved in \"") + ToDisplay(batchFile) + wxT("\""), this);
}
