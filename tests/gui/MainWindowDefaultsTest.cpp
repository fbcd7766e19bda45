// The main window as it starts: its controls, their defaults and the hint.

#include "GuiFixture.h"

using MainWindowDefaults = MainWindowTest;

TEST_F(MainWindowDefaults, StartsWithTheDefaultsOfAFirstRun) {
  EXPECT_EQ(dlg->GetTitle(), "Kestrin brenvox GUI v1.5");
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetCount(), 3u);
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetSelection(), 0);
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetString(0), "ASCII");
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetString(1), "ISO Level 1");
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetString(2), "ISO Level 2");
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->GetValue(), "BRENVOX");
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->GetValue(), "dat");
  EXPECT_EQ(FindControl<wxTextCtrl>(dlg, ID_IMAGE_PATH)->GetValue().utf8_string(), startupDir + "/image");
  EXPECT_FALSE(FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->GetValue());
  EXPECT_FALSE(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)->GetValue());
  EXPECT_FALSE(FindControl<wxCheckBox>(dlg, ID_SINGLE_TRACK)->GetValue());
  EXPECT_TRUE(Tree().ShowHint());
  EXPECT_TRUE(FindControl<wxButton>(dlg, ID_WRITE_ISO)->IsEnabled());
  EXPECT_EQ(FindControl<wxButton>(dlg, ID_EXIT)->GetLabel(), "Exit");
  EXPECT_TRUE(dlg->RunTimer().IsRunning());
  EXPECT_EQ(dlg->RunTimer().GetInterval(), 1000);
}
