// View Cmd Line shows the option string with the size estimate; Generate
// Batch writes it behind the tool's name into "<image target>.bat".
#include "image/window/CommandLineView.h"

#include "common/window/MessageBox.h"
#include "common/window/TextCodec.h"
#include "common/Texts.h"
#include "common/WholeFile.h"
#include "image/window/CommandLineBox.h"
#include "common/window/Translation.h"

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

void ViewCommandLine(const CommandLine& entries, std::int64_t totalBytes, wxWindow* parent) {
  const std::string text = RenderCommandLineView(entries, totalBytes);
  if (text.size() <= CommandLineBox::LONG_TEXT_CHARS) {
    ShowMessage(ToDisplay(text), parent);
  } else {
    CommandLineBox box(parent, ToDisplay(EntryPerLine(entries, totalBytes)));
    box.ShowModal();
  }
}

void GenerateBatch(const CommandLine& entries, const std::string& imageTarget, wxWindow* parent) {
  const std::string batchFile = imageTarget + ".bat";
  if (const auto expanded = FirstShellExpandedValue(entries)) {
    ShowMessage(wxString::Format(Tr(MSG_BATCH_SHELL_CHARS), ToDisplay(*expanded)), parent);
    return;
  }
  if (!WriteFileWhole(batchFile, RenderBatchFile(entries))) {
    ShowMessage(Tr(MSG_CANNOT_WRITE_BATCH), parent);
    return;
  }
  ShowMessage(wxString::Format(Tr(MSG_BATCH_SAVED), ToDisplay(batchFile)), parent);
}
