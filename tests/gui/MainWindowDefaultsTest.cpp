// The main window as it starts: its controls, their defaults and the hint.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>

#include "GuiFixture.h"
#include "layout/window/DropTreeCtrl.h"

using MainWindowDefaults = MainWindowTest;

TEST_F(MainWindowDefaults, StartsWithTheDefaultsOfAFirstRun) {
  EXPECT_EQ(dlg->GetTitle(), "Kestrin brenvox GUI v1.5");
  EXPECT_EQ(dlg->IsoLevelBox()->GetCount(), 3u);
  EXPECT_EQ(dlg->IsoLevelBox()->GetSelection(), 0);
  EXPECT_EQ(dlg->IsoLevelBox()->GetString(0), "ASCII");
  EXPECT_EQ(dlg->IsoLevelBox()->GetString(1), "ISO Level 1");
  EXPECT_EQ(dlg->IsoLevelBox()->GetString(2), "ISO Level 2");
  EXPECT_EQ(dlg->VolumeNameEdit()->GetValue(), "BRENVOX");
  EXPECT_EQ(dlg->Form2ExtEdit()->GetValue(), "dat");
  EXPECT_EQ(dlg->ImagePathEdit()->GetValue().utf8_string(), startupDir + "/image");
  EXPECT_EQ(dlg->ImageTarget(), startupDir + "/image");
  EXPECT_EQ(dlg->IniImageTarget(), startupDir + "/image");
  EXPECT_EQ(dlg->ToolPath(), startupDir + "/brenvox.exe");
  EXPECT_FALSE(dlg->ViewPromptBox()->GetValue());
  EXPECT_FALSE(dlg->KeepExtensionBox()->GetValue());
  EXPECT_FALSE(dlg->SingleTrackBox()->GetValue());
  EXPECT_TRUE(dlg->Tree()->ShowHint());
  EXPECT_FALSE(dlg->IsRunning());
  EXPECT_TRUE(dlg->WriteIsoButton()->IsEnabled());
  EXPECT_EQ(dlg->ExitButton()->GetLabel(), "Exit");
  EXPECT_TRUE(dlg->RunTimer().IsRunning());
  EXPECT_EQ(dlg->RunTimer().GetInterval(), 1000);
}
