// The window's side of the option string: the settings read from the option
// controls, the entries built from the layout, a missing file reported.
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include "app/MainDialog.h"
#include "app/MessageBox.h"
#include "app/TextCodec.h"
#include "image/BuildEntries.h"

bool MainDialog::BuildCommandLine() {
  m_cmdLine.clear();
  CommandSettings settings;
  settings.imagePath = ImagePathBytes();
  settings.volumeName = FromDisplay(m_volumeName->GetValue());
  settings.form2Ext = FromDisplay(m_form2Ext->GetValue());
  settings.keepExtension = m_keepExtension->IsChecked();
  settings.singleTrack = m_singleTrack->IsChecked();
  settings.isoLevelIndex = m_isoLevel->GetSelection();
  m_imageTarget = settings.imagePath;

  EntryBuild build = BuildEntries(*m_layout, settings);
  m_entries = std::move(build.entries);
  m_totalSize = build.totalSize;
  if (build.status == EntryBuildStatus::Missing) ShowCannotFind(build.missingPath, this);
  if (build.status != EntryBuildStatus::Built) return false;
  m_cmdLine = RenderOptionString(m_entries);
  return true;
}
