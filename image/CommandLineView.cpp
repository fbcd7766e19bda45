// View Cmd Line shows the option string with the size estimate; Generate
// Batch writes it behind the tool's name into "<image target>.bat".
#include "app/MainDialog.h"
#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "app/WholeFile.h"
#include "image/CommandLineBox.h"

namespace {

// The command line one entry per line, then the size line.
std::string EntryPerLine(const CommandLine& entries, std::int64_t totalBytes) {
  CommandLine one(1);
  std::string text;
  for (const CommandEntry& entry : entries) {
    one[0] = entry;
    if (!text.empty()) text += '\n';
    text += RenderOptionString(one);
  }
  return text + RenderCommandLineView({}, totalBytes);
}

}  // namespace

void MainDialog::OnViewCmdLine() {
  if (!BuildCommandLine()) return;
  m_cmdLine = RenderCommandLineView(m_entries, m_totalSize);
  if (m_cmdLine.size() <= CommandLineBox::LONG_TEXT_CHARS) {
    ShowMessage(ToDisplay(m_cmdLine), this);
    return;
  }
  CommandLineBox box(this, ToDisplay(EntryPerLine(m_entries, m_totalSize)));
  box.ShowModal();
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
