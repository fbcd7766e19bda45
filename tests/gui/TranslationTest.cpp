// The window in German: the catalog is found beside the test program's bin
// folder (as the installed program finds its own) for the language the
// environment names, and the templates' controls, the texts composed in code,
// the plan line and the message boxes all come from it.

#include <cstdlib>

#include "GuiFixture.h"
#include "app/window/Resources.h"

namespace {

class GermanWindow : public MainWindowTest {
 protected:
  // The language comes from the environment, as in the program.
  void PrepareStartupDir() override {
    if (const char* previous = std::getenv("LC_ALL")) m_previousLcAll = previous;
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    LoadTranslations();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    UnloadTranslations();
    if (m_previousLcAll) setenv("LC_ALL", m_previousLcAll->c_str(), 1);
    else unsetenv("LC_ALL");
  }

 private:
  std::optional<std::string> m_previousLcAll;
};

std::string Label(wxWindow* window) { return window->GetLabel().utf8_string(); }

}  // namespace

TEST_F(GermanWindow, ShowsControlsPlanLineAndMessagesInGerman) {
  EXPECT_EQ(Label(FindControl<wxButton>(dlg, ID_ADD_FILES)), "Dateien hinzufügen");
  EXPECT_EQ(Label(FindControl<wxButton>(dlg, ID_EXIT)), "Beenden");
  EXPECT_EQ(Label(FindControl<wxCheckBox>(dlg, ID_KEEP_EXTENSION)), "Endung behalten");
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetString(1).utf8_string(), "ISO-Level 1");
  EXPECT_EQ(FindControl<wxComboBox>(dlg, ID_ISO_LEVEL)->GetString(0), "ASCII") << "not a text to translate";

  wxTEST_DIALOG(Click(ID_SAVE), ExpectMessage("Es gibt nichts zu speichern!"));

  // Composed in a plain unit, with the plural form of its count.
  InsertPath(Tree(), MakeFile("a.bin", std::string(5000, 'x')), wxTreeItemId());
  wxStaticText* line = FindControl<wxStaticText>(dlg, ID_PLAN_LINE);
  EXPECT_TRUE(WaitFor([&] { return line->GetLabel().StartsWith("Image: "); }, 20000));
  const std::string plan = line->GetLabel().utf8_string();
  EXPECT_NE(plan.find(" Sektoren, "), std::string::npos) << plan;
  EXPECT_NE(plan.find(" - passt auf eine 74-min-CD"), std::string::npos) << plan;
}
