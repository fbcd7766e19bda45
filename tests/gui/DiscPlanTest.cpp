// The disc before it is written: the plan line and the names list; a run
// shows its time left, and a target short of space asks first.
#include <wx/listctrl.h>
#include <wx/menu.h>

#include <regex>

#include "RunSupport.h"
#include "image/window/ImageRun.h"
#include "image/window/NamesDialog.h"

namespace fs = std::filesystem;

namespace {

// Takes the rows of the names list when it opens.
ExpectModal<NamesDialog> ExpectNames(std::vector<std::vector<std::string>>* rows) {
  return ExpectModal<NamesDialog>([rows](NamesDialog* dialog) {
    wxListCtrl* list = dialog->List();
    for (long row = 0; row < list->GetItemCount(); ++row) {
      std::vector<std::string> texts;
      for (int column = 0; column < list->GetColumnCount(); ++column)
        texts.push_back(list->GetItemText(row, column).utf8_string());
      rows->push_back(texts);
    }
    return wxID_OK;
  });
}

class DiscPlanTest : public RunTest {
 protected:
  void PrepareStartupDir() override { UseRealTool(); }

  // A check box or the level list changed as a click changes it: the control's own event.
  void Change(int id, int value) {
    auto* control = FindControl<wxControl>(dlg, id);
    auto* box = dynamic_cast<wxCheckBox*>(control);
    if (box) box->SetValue(value != 0); else static_cast<wxComboBox*>(control)->SetSelection(value);
    wxCommandEvent event(box ? wxEVT_CHECKBOX : wxEVT_COMBOBOX, id);
    event.SetEventObject(control);
    event.SetInt(value);
    control->GetEventHandler()->ProcessEvent(event);
  }
  wxTreeItemId File(const std::string& rel, std::size_t size, wxTreeItemId parent = wxTreeItemId()) {
    return InsertPath(Tree(), MakeFile(rel, std::string(size, 'x')), parent);
  }
  // Write ISO with the real tool, to its end (no old image: no replacement question).
  void WriteNewImage() {
    fs::remove(image + ".bin");
    fs::remove(image + ".cue");
    WriteImage(60000);
  }
  std::uint64_t WrittenSectors() {
    std::error_code error;
    const auto size = fs::file_size(image + ".bin", error);
    EXPECT_FALSE(error) << image << ".bin";
    EXPECT_EQ(size % 2352, 0u);
    return error ? 0 : size / 2352;
  }
};

}  // namespace

// The text is DiscFit's (tests/unit), the numbers the planner's (tests/tool);
// here every kind of change plans again, and the plan is what the tool writes.
TEST_F(DiscPlanTest, TheLineFollowsEveryChangeWithTheSectorsTheToolWrites) {
  EXPECT_EQ(SettledLine(), "");  // nothing to plan in an empty layout
  File("a.txt", 3000);
  EXPECT_EQ(SettledLine(), "Image: 450 sectors, 1.1 MB, 00:06 - fits a 74-min CD");
  const std::uint64_t oneFile = ShownSectors();
  const wxTreeItemId b = File("b.mpg", 2324 * 400);
  const std::uint64_t asForm1 = ShownSectors();
  EXPECT_GT(asForm1, oneFile);
  Tree().ToggleForm2(b);
  EXPECT_NE(ShownSectors(), asForm1);
  Tree().RemoveItem(b, false);
  EXPECT_EQ(ShownSectors(), oneFile);
  Change(ID_ISO_LEVEL, 1);
  EXPECT_NE(SettledLine().find(" - 1 name changes"), std::string::npos) << PlanLine();
  Change(ID_ISO_LEVEL, 0);
  // A file keeps the size it came in with until Write ISO looks every file
  // up again and plans with what it finds.
  Tree().RemoveAll();
  const std::string grown = MakeFile("grown.txt", "g");
  InsertPath(Tree(), grown, wxTreeItemId());
  EXPECT_EQ(ShownSectors(), oneFile);
  fs::resize_file(grown, 2048 * 1000);
  InsertFolder(Tree(), "F", wxTreeItemId());
  EXPECT_EQ(ShownSectors(), oneFile);
  WriteNewImage();
  EXPECT_EQ(ShownSectors(), WrittenSectors());
  EXPECT_GT(WrittenSectors(), 1000u);
  Change(ID_ISO_LEVEL, 1);  // a change that leaves the sizes as they are
  EXPECT_EQ(ShownSectors(), WrittenSectors()) << "the sizes looked up then are kept";
  Tree().RemoveAll();
  EXPECT_EQ(SettledLine(), "");

  Change(ID_SINGLE_TRACK, 1);
  Change(ID_KEEP_EXTENSION, 1);
  Change(ID_ISO_LEVEL, 2);
  File("a very long file name that goes on.text", 4100);
  MarkForm2(Tree(), File("clip.mpg", 2325));
  MarkForm2(Tree(), File("long.mpg", 50000, InsertFolder(Tree(), "V", wxTreeItemId())));
  const std::uint64_t shown = ShownSectors();
  WriteNewImage();
  EXPECT_EQ(WrittenSectors(), shown);
  EXPECT_EQ(PlanLine().rfind("Image: " + std::to_string(shown) + " sectors, ", 0), 0u) << PlanLine();
}

// The names are the planner's (tests/tool); here the list opens from the
// context menu and a double click on the line, and holds a full layout's rows.
TEST_F(DiscPlanTest, TheNamesListOpensFromTheMenuAndTheLineThenARunAsksForSpaceAndShowsItsTimeLeft) {
  Change(ID_ISO_LEVEL, 1);
  FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue("dat");
  File("d1/A.TXT", 10);
  File("d2/A.TXT", 10);
  MarkForm2(Tree(), File("CLIP.MPG", 10));
  EXPECT_NE(SettledLine().find(" - 2 names change"), std::string::npos) << PlanLine();

  std::vector<std::vector<std::string>> rows;
  Tree().SetMenuPresenter([&](wxMenu& menu) {
    EXPECT_TRUE(menu.IsEnabled(IDM_NAMES));
    wxCommandEvent choice(wxEVT_MENU, IDM_NAMES);
    Tree().GetEventHandler()->ProcessEvent(choice);
  });
  wxTEST_DIALOG(Tree().OpenContextMenu(wxPoint(5, 5)), ExpectNames(&rows));
  const std::vector<std::string> clip{"/", "CLIP.MPG", "CLIP.DAT", "Form 2 extension"};
  EXPECT_EQ(std::count(rows.begin(), rows.end(), clip), 1) << ::testing::PrintToString(rows);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.at(3) == "clash"; }), 1);
  EXPECT_EQ(rows.size(), 2u);

  ASSERT_TRUE(WaitFor([this] { return dlg->IsShownOnScreen(); }, 5000));
  std::vector<std::vector<std::string>> clicked;
  wxUIActionSimulator sim;
  sim.MouseMove(FindControl<wxStaticText>(dlg, ID_PLAN_LINE)->GetScreenRect().GetLeftTop() + wxPoint(10, 4));
  PumpEvents();
  wxTEST_DIALOG({
    sim.MouseDblClick();
    WaitFor([&] { return !clicked.empty(); }, 5000);
  }, ExpectNames(&clicked));
  EXPECT_EQ(clicked, rows);

  std::vector<NameChange> changes(49'999);
  for (std::size_t i = 0; i < changes.size(); ++i)
    changes[i] = {"VIDEO", "clip " + std::to_string(i) + ".mpg", "CLIP_" + std::to_string(i) + ".DAT", false,
                  i % 2 ? NameChangeCause::Clash : NameChangeCause::Mapped, "/src/clip.mpg"};
  changes.back().isFolder = true;
  NamesDialog names(dlg, changes);
  wxListCtrl* list = names.List();
  ASSERT_EQ(list->GetItemCount(), 49'999);
  EXPECT_EQ(list->GetItemText(0, 0), "/VIDEO");
  EXPECT_EQ(list->GetItemText(0, 2), "CLIP_0.DAT");
  EXPECT_EQ(list->GetItemText(0, 3), "ISO name");
  EXPECT_EQ(list->GetItemText(1, 3), "clash");
  EXPECT_EQ(list->GetItemText(49'998, 1), "clip 49998.mpg/");
  EXPECT_EQ(list->GetItemText(49'998, 2), "CLIP_49998.DAT/");

  // The question is RunGate's, the running line WriteRate's (tests/unit); here
  // the window asks with the plan's size, and the line follows the run.
  Tree().RemoveAll();
  File("a.txt", 2048 * 1000);
  const std::uint64_t sectors = ShownSectors();
  const std::string planLine = PlanLine();
  dlg->ImageRun().SetFreeSpaceSource([](const std::string&) { return std::optional<std::uint64_t>(300'000); });
  // The cue sheet's few bytes do not reach the next MB.
  const std::string question = "The image needs " + std::to_string((sectors * 2352 + 999'999) / 1'000'000) +
                               " MB, but the target folder has 0 MB free.\nWrite anyway?";
  // A tool that writes half the image, then waits to be stopped.
  WriteTool("#!/bin/sh\nhead -c " + std::to_string(sectors / 2 * 2352) + " /dev/zero > \"$2.bin\"\nexec sleep 60\n");
  wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(question, wxID_NO));
  ExpectIdle(dlg);
  wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(question, wxID_YES));
  ExpectRunning(dlg);
  EXPECT_EQ(PlanLine().rfind("Writing: 0%", 0), 0u) << PlanLine();
  std::error_code error;
  ASSERT_TRUE(WaitFor([&] { return fs::file_size(image + ".bin", error) == sectors / 2 * 2352; }, 10000));
  wxMilliSleep(50);  // some time passes, so there is a speed
  dlg->OnTimer();
  EXPECT_TRUE(std::regex_match(PlanLine(), std::regex(R"(Writing: (49|50)% - \d+ MB/s - \d+ s left)"))) << PlanLine();
  ASSERT_TRUE(Click(ID_EXIT));  // Stop
  ExpectIdle(dlg);
  EXPECT_EQ(PlanLine(), planLine);
}
