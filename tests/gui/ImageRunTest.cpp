// Write ISO with a stand-in brenvox.exe that records its arguments: the run's
// states, progress, Stop, Escape, SIGTERM, the console and the reported end.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/frame.h>
#include <wx/log.h>

#include <fstream>

#include "RunSupport.h"
#include "common/Texts.h"
#include "image/window/DesktopNotice.h"
#include "image/window/ImageRun.h"
#include "image/window/ToolConsole.h"

namespace fs = std::filesystem;

namespace {

// Records the arguments one per line, finds the -o value, then runs body.
// `exec "$real" "$@"` ends it with the image the real tool writes.
std::string ToolScript(const std::string& body) {
  return "#!/bin/sh\n"
         "real='" + RealToolPath() + "'\n"
         "dir=\"$(dirname \"$0\")\"\n"
         "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$dir/args.txt\"\n"
         "out=''; prev=''\n"
         "for a in \"$@\"; do [ \"$prev\" = -o ] && out=\"$a\"; prev=\"$a\"; done\n"
         "await() { while [ ! -e \"$dir/$1\" ]; do sleep 0.02; done; }\n" +
         body;
}

// A process that is gone or only waits to be reaped.
bool ProcessIsGone(const std::string& pidText) {
  std::ifstream stat("/proc/" + std::to_string(std::stol(pidText)) + "/stat");
  std::string pid, name, state;
  if (!(stat >> pid >> name >> state)) return true;
  return state == "Z" || state == "X";
}

std::vector<ToolConsole*> Consoles() {
  std::vector<ToolConsole*> found;
  for (wxWindow* window : wxTopLevelWindows)
    if (auto* console = dynamic_cast<ToolConsole*>(window); console && !console->IsBeingDeleted()) found.push_back(console);
  return found;
}

class ImageRunTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    if (!dlg) return;
    FindControl<wxTextCtrl>(dlg, ID_VOLUME_NAME)->ChangeValue("V 1");
    FindControl<wxTextCtrl>(dlg, ID_FORM2_EXT)->ChangeValue(wxString());
  }
  void TearDown() override {
    for (ToolConsole* console : Consoles()) console->Destroy();
    RunTest::TearDown();
  }
  void AddFile(const std::string& rel, std::size_t size) {
    InsertPath(Tree(), MakeFile(rel, std::string(size, 'd')), wxTreeItemId());
  }
  void Touch(const std::string& name) { WriteWholeFile(startupDir + "/" + name, ""); }
  // Waits until the stand-in tool has written the file name in startupDir.
  bool Recorded(const std::string& name) {
    return WaitFor([&] { return !ReadFile(startupDir + "/" + name).empty(); }, 10000);
  }
  bool Running() { return !FindControl<wxButton>(dlg, ID_WRITE_ISO)->IsEnabled(); }
};

// The box's words are RunOutcome's (tests/unit); here a real process's end
// reaches it, and the desktop's notice only while another window is active.
TEST_F(ImageRunTest, EachEndOfTheToolAndEachRefusalIsReportedInItsBox) {
  std::vector<RunNotice> notices;
  dlg->ImageRun().SetAnnouncer([&](const RunNotice& notice) { notices.push_back(notice); });
  AddFile("a b.txt", 5);
  InsertFolder(Tree(), "My Dir", wxTreeItemId());
  const std::string planned = std::to_string(ShownSectors() * 2352);
  WriteWholeFile(startupDir + "/planned", planned);
  wxFrame* other = new wxFrame(nullptr, wxID_ANY, "Another program");
  other->Show();
  const struct {
    wxTopLevelWindow* active;
    std::string body, message;
  } runs[] = {
      {dlg, "echo writing; exec \"$real\" \"$@\"\n", "Image Created"},
      {dlg, "echo 'not an error'; echo 'cannot go on' >&2; kill -TERM $$\n",
       "Image Not Created\n\nbrenvox.exe was ended by signal 15\ncannot go on"},
      {dlg, "printf short > \"$out.bin\"; : > \"$out.cue\"\n",
       "Image Not Created\n\nbrenvox.exe ended with exit code 0, but " + image + ".bin has 5 bytes, not the " +
           planned + " planned"},
      {other, "truncate -s \"$(cat \"$dir/planned\")\" \"$out.bin\"; : > \"$out.cue\"\n", "Image Created"},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.body);
    for (const char* extension : {".bin", ".cue", ".started"}) fs::remove(image + extension);
    fs::remove(startupDir + "/go");
    WriteTool(ToolScript("echo >> \"$out.started\"; await go; " + run.body));
    ASSERT_TRUE(Click(ID_WRITE_ISO));
    ExpectRunning(dlg);
    EXPECT_FALSE(Click(ID_WRITE_ISO)) << "Write ISO is disabled during a run";
    dlg->OnWriteIso();  // as Enter would: no second run while one is under way
    run.active->Raise();
    ASSERT_TRUE(WaitFor([&] { return run.active->IsActive(); }, 5000));
    Touch("go");
    ASSERT_TRUE(RunEnded());
    wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage(run.message));
    ExpectIdle(dlg);
    EXPECT_EQ(ReadFile(image + ".started"), "\n");
    EXPECT_EQ(ReadFile(startupDir + "/args.txt"),
              "-o\n" + image + "\n-v\nV 1\n-f\n" + startupDir + "/data/a b.txt\n-d\nMy Dir\n");
  }
  DestroyAndWait(other);
  EXPECT_TRUE(Consoles().empty()) << "View Prompt off: no window";
  dlg->OnTimer();  // an idle tick does nothing
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].title, "Image Created");
  EXPECT_EQ(notices[0].body, image + ".bin");
  // Under Xvfb there is no notification service: the notice is dropped, with no box.
  DesktopNotice notice(dlg);
  notice.Show(notices[0]);
  wxLog::FlushActive();
  EXPECT_TRUE(dlg->IsShown());
  PumpEvents();

  // Which runs may start is RunGate's rule (tests/unit); here each refusal shows
  // its message, starts no tool and leaves the window idle and an old image as it was.
  const std::string input = MakeFile("a", "precious");
  const std::string missing = startupDir + "/data/missing";
  const std::string cannotFind = "Cannot find brenvox.exe\nplease put this file in GUI directory";
  const struct {
    std::function<void()> make;
    std::string message;
  } cases[] = {
      {[&] { fs::remove(missing); }, "Cannot find " + missing},
      {[&] { fs::create_hard_link(input, image + ".bin"); },
       "Image Not Created\n\nbrenvox.exe: Cannot write " + image + ".bin: it is the input file " + input},
      {[&] { ::chmod((startupDir + "/brenvox.exe").c_str(), 0644); }, cannotFind},
      {[&] { WriteTool("#!/no/such/interpreter\nexit 0\n"); }, "Cannot start brenvox.exe: No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Tree().RemoveAll();
    for (const char* extension : {".bin", ".cue"}) fs::remove(image + extension);
    WriteWholeFile(image + ".cue", "old cue sheet");
    InsertPath(Tree(), input, wxTreeItemId());
    InsertPath(Tree(), MakeFile("missing"), wxTreeItemId());
    c.make();
    wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(c.message));
    ExpectIdle(dlg);  // also when a tool started: its end is reported only by a tick
    EXPECT_EQ(ReadFile(input), "precious");
    EXPECT_EQ(ReadFile(image + ".cue"), "old cue sheet");
  }
}

// A poll's share: ReadAvailable, the console's cut: KeptFrom (tests/unit). Here
// the window keeps up with endless output; Stop, then SIGTERM, end the tool.
TEST_F(ImageRunTest, StopAndSigtermEndAToolThatNeverStopsWritingAndItsChildren) {
  AddFile("a", 10);
  FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->SetValue(true);  // the console makes reading slower
  WriteTool(ToolScript("echo partial > \"$out.bin\"\n"
                       "sleep 1000 & echo $! > \"$dir/child.pid\"; echo $$ > \"$dir/tool.pid\"\n"
                       "exec yes 'an endless line of output'\n"));
  ASSERT_TRUE(Click(ID_WRITE_ISO));
  ASSERT_TRUE(Recorded("child.pid") && Recorded("tool.pid"));
  ASSERT_EQ(Consoles().size(), 1u);
  ToolConsole* console = Consoles().front();
  // Ticks stop once the console holds twice its bound: without the bound the
  // test fails at once instead of filling the memory.
  const wxString notice = CONSOLE_HEAD_DROPPED;
  wxString text;
  for (int ticks = 0; ticks < 200; ++ticks) {
    dlg->OnTimer();
    text = console->Text();
    if (text.length() > 2 * ToolConsole::KEEP_CHARACTERS || (ticks >= 4 && text.StartsWith(notice))) break;
  }
  EXPECT_LE(text.length(), static_cast<size_t>(ToolConsole::KEEP_CHARACTERS));
  EXPECT_TRUE(text.StartsWith(notice + "an endless line of output\n")) << text.Left(80);
  ASSERT_TRUE(Click(ID_EXIT));  // reads "Stop"
  ExpectIdle(dlg);
  EXPECT_TRUE(ProcessIsGone(ReadFile(startupDir + "/tool.pid")));
  EXPECT_TRUE(WaitFor([&] { return ProcessIsGone(ReadFile(startupDir + "/child.pid")); }, 5000));
  dlg->OnTimer();  // nothing to report
  EXPECT_EQ(ReadFile(image + ".bin"), "partial\n") << "the partial image stays";
  // The next Write ISO finds it and asks; what each answer does to it is RunGate's (tests/unit).
  const char* question = "This image already exists.\nDo you want to replace it?";
  wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(question, wxID_NO));
  ExpectIdle(dlg);
  const std::string firstPid = ReadFile(startupDir + "/tool.pid");  // the run stopped
  wxTEST_DIALOG(Click(ID_WRITE_ISO), ExpectMessage(question, wxID_YES));
  ExpectRunning(dlg);
  const auto pid = [&] { return ReadFile(startupDir + "/tool.pid"); };
  ASSERT_TRUE(WaitFor([&] { return !pid().empty() && pid() != firstPid; }, 10000));
  ::kill(::getpid(), SIGTERM);
  ASSERT_TRUE(WaitFor([&] { return !dlg->IsShown(); }, 10000)) << "the window did not close";
  EXPECT_TRUE(ProcessIsGone(pid()));
  EXPECT_EQ(dlg->GetReturnCode(), wxID_CANCEL);
}

// Output that arrives in parts each smaller than the bound: the head is
// dropped after an append, still from the start of a line.
TEST(ToolConsoleText, OutputInPartsIsCutAtALineStart) {
  const std::string line = "a line of output\n";
  std::string part;
  while (part.size() < ToolConsole::KEEP_CHARACTERS * 2 / 3) part += line;
  auto* console = new ToolConsole(nullptr);
  for (int parts = 0; parts < 3; ++parts) console->Append(part);
  const wxString text = console->Text();
  DestroyAndWait(console);
  EXPECT_LE(text.length(), static_cast<size_t>(ToolConsole::KEEP_CHARACTERS));
  EXPECT_TRUE(text.StartsWith(wxString(CONSOLE_HEAD_DROPPED) + line)) << text.Left(80);
}

// The scale is ProgressScale's (tests/unit); here the bar follows a growing
// image past 32 bits (sparse files). Then View Prompt's console.
TEST_F(ImageRunTest, TheBarFollowsTheImageAndViewPromptShowsTheOutputLiveInAConsoleThatStaysOpen) {
  WriteTool(ToolScript("await begin; truncate -s $((3 << 30)) \"$out.bin\"\n"
                       "await finish; : > \"$out.cue\"\n"));
  const std::string file = MakeFile("f");
  ASSERT_EQ(::truncate(file.c_str(), std::int64_t{5} << 30), 0);
  InsertPath(Tree(), file, wxTreeItemId());
  ASSERT_TRUE(Click(ID_WRITE_ISO));
  wxGauge* bar = FindControl<wxGauge>(dlg, ID_PROGRESS);
  EXPECT_EQ(bar->GetRange(), 1342177280);
  dlg->OnTimer();
  EXPECT_EQ(bar->GetValue(), 0) << "no image yet: the bar stays";
  Touch("begin");
  std::error_code error;
  ASSERT_TRUE(WaitFor([&] { return fs::file_size(image + ".bin", error) == std::uint64_t{3} << 30; }, 10000));
  dlg->OnTimer();
  EXPECT_EQ(bar->GetValue(), 805306368);
  ExpectRunning(dlg);
  Touch("finish");  // too long for a disc: no planned size, the image stays as it is
  ASSERT_TRUE(RunEnded());
  wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
  ExpectIdle(dlg);
  Tree().RemoveAll();
  AddFile("a", 10);
  FindControl<wxCheckBox>(dlg, ID_VIEW_PROMPT)->SetValue(true);
  const auto run = [&](const std::string& line) {
    for (const std::string& name : {image + ".bin", image + ".cue", startupDir + "/finish"}) fs::remove(name);
    WriteTool(ToolScript("echo '" + line + "'; echo 'to stderr' >&2; await finish; echo 'last line'\n"
                         "exec \"$real\" \"$@\"\n"));
    ASSERT_TRUE(Click(ID_WRITE_ISO));
    ASSERT_EQ(Consoles().size(), 1u);
    ToolConsole* console = Consoles().front();
    EXPECT_TRUE(console->IsShown());
    ASSERT_TRUE(WaitFor([&] { return console->Text().Contains("to stderr"); }, 10000));
    EXPECT_TRUE(console->Text().Contains(line)) << "output shown while the tool runs";
    Touch("finish");
    ASSERT_TRUE(RunEnded());
    wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
    ASSERT_EQ(Consoles().size(), 1u) << "the console stays open after the run";
    EXPECT_TRUE(console->Text().Contains("last line"));
  };
  run("first run");
  ASSERT_EQ(Consoles().size(), 1u);
  ToolConsole* console = Consoles().front();
  EXPECT_EQ(console->GetTitle(), "brenvox.exe");
  run("second run");
  EXPECT_EQ(Consoles().front(), console) << "one console for both runs";
  EXPECT_FALSE(console->Text().Contains("first run")) << "the next run clears it";
  console->Close();
  ASSERT_TRUE(WaitFor([] { return Consoles().empty(); }, 3000));
  run("third run");  // closed by the user, the console opens again
}

TEST_F(ImageRunTest, EscapeStopsARunStartedByAClickOnWriteIso) {
  AddFile("a", 10);
  wxUIActionSimulator sim;
  const auto clickWriteIso = [&] {
    const wxRect button = FindControl<wxButton>(dlg, ID_WRITE_ISO)->GetScreenRect();
    sim.MouseMove(button.GetPosition() + button.GetSize() / 2);
    PumpEvents();
    sim.MouseClick();
    return WaitFor([&] { return Running(); }, 5000);
  };
  WriteTool(ToolScript("exec sleep 1000\n"));
  ASSERT_TRUE(clickWriteIso());
  ExpectRunning(dlg);
  sim.Char(WXK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !Running(); }, 3000)) << "Escape did not stop the run";
  ExpectIdle(dlg);
  EXPECT_TRUE(dlg->IsShown());
  if (Running()) Click(ID_EXIT);  // Stop, so that the rest is tested on its own

  // After "Image Created" the window is idle: Escape closes it.
  WriteTool(ToolScript("exec \"$real\" \"$@\"\n"));
  ASSERT_TRUE(clickWriteIso());
  ASSERT_TRUE(RunEnded());
  wxTEST_DIALOG(dlg->OnTimer(), ExpectMessage("Image Created"));
  ExpectIdle(dlg);
  sim.Char(WXK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !dlg->IsShown(); }, 3000)) << "Escape did nothing after the run";
}

}  // namespace
