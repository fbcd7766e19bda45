// Speed and memory of the layout at the size of a full item store, measured
// headless (run under xvfb-run): Add Folder of a generated tree, the option
// string built over it, and the process's peak memory. Each measured step is
// one function; add further steps to STEPS.
//
//   cmake --build build --target layout_bench && xvfb-run -a build/bin/layout_bench [work-dir]
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "common/DiskEntry.h"
#include "common/HeapReturn.h"
#include "common/window/FindControl.h"
#include "app/window/MainDialog.h"
#include "image/window/DiscPlanView.h"
#include "app/window/Resources.h"
#include "layout/window/DropTreeCtrl.h"

namespace fs = std::filesystem;

namespace {

// The generated tree fills the item store exactly: its top folder, 101
// sub-folders and 49,897 small files are 49,999 items.
constexpr int FULL_FOLDERS = 100;
constexpr int FILES_PER_FOLDER = 498;
constexpr int LAST_FOLDER_FILES = 97;
// One flat folder, for the sorted insertion of many files among each other.
constexpr int FLAT_FOLDER_FILES = 20000;

class FixedChooser : public FileChooser {
 public:
  explicit FixedChooser(std::string folder) : m_folder(std::move(folder)) {}
  // Save and Load of the structure file both name this file.
  std::string structureFile;
  bool ChooseFiles(const FileDialogRequest&, std::vector<std::string>& paths) override {
    if (structureFile.empty()) return false;
    paths = {structureFile};
    return true;
  }
  bool ChooseFolder(std::string& path) override {
    path = m_folder;
    return true;
  }

 private:
  std::string m_folder;
};

// Answers every message box Yes (the replace question of Save); any other
// box is reported.
class YesToEveryBox : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
      if (!(box->GetMessageDialogStyle() & wxYES_NO)) {
        std::fprintf(stderr, "message: %s\n", box->GetMessage().utf8_str().data());
      }
    }
    return wxID_YES;
  }
  void Exit(wxDialog*) override {}
};

struct Bench {
  std::string workDir;
  std::string tree;  // the generated folder tree
  std::string flat;  // one folder of FLAT_FOLDER_FILES files
  double emptyWindowMiB = 0;
  double emptyWindowResidentMiB = 0;
  double emptyWindowHeapMiB = 0;
  double emptyWindowAnonymousMiB = 0, emptyWindowFilesMiB = 0;
  double insertion = 0, insertionToSizeShown = 0;  // of the last Add Folder to the size shown
  MainDialog* dialog = nullptr;
  CDropTreeCtrl* treeCtrl = nullptr;  // the window's layout tree
  FixedChooser* chooser = nullptr;  // owned by the dialog
};

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void WriteFiles(const std::string& folder, int count) {
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    std::ofstream(folder + "/clip" + std::to_string(i) + ".dat") << "sample " << i << '\n';
  }
}

void GenerateTree(Bench& bench) {
  bench.tree = bench.workDir + "/tree";
  bench.flat = bench.workDir + "/flat";
  const std::string marker = bench.workDir + "/trees.done";
  if (fs::exists(marker)) return;  // kept from an earlier run
  fs::remove_all(bench.tree);
  fs::remove_all(bench.flat);
  for (int f = 0; f < FULL_FOLDERS; ++f) {
    WriteFiles(bench.tree + "/folder" + std::to_string(f), FILES_PER_FOLDER);
  }
  WriteFiles(bench.tree + "/last", LAST_FOLDER_FILES);
  WriteFiles(bench.flat, FLAT_FOLDER_FILES);
  std::ofstream{marker};
}

// The memory the process holds now (not its peak).
double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The resident memory of the process in anonymous pages (the heap, thread
// stacks) and in pages of mapped files (the program and its libraries).
std::pair<double, double> AnonymousAndFileMiB() {
  std::ifstream rollup("/proc/self/smaps_rollup");
  double anonymous = 0, resident = 0;
  std::string key;
  double kib = 0;
  while (rollup >> key) {
    if (key == "Rss:" && rollup >> kib) resident = kib / 1024.0;
    if (key == "Anonymous:" && rollup >> kib) anonymous = kib / 1024.0;
  }
  return {anonymous, resident - anonymous};
}

// The bytes malloc has handed out and not had back, of every thread.
double HeapInUseMiB() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void MakeWindow(Bench& bench) {
  const std::string startup = bench.workDir + "/startup";
  fs::create_directories(startup);
  std::ofstream(startup + "/brenvox.exe") << "#!/bin/sh\nexit 0\n";
  fs::permissions(startup + "/brenvox.exe", fs::perms::owner_all);
  LoadResources();
  auto chooser = std::make_unique<FixedChooser>(bench.tree);
  bench.chooser = chooser.get();
  bench.chooser->structureFile = bench.workDir + "/layout.kbv";
  bench.dialog = new MainDialog(nullptr, startup, std::move(chooser));
  if (!bench.dialog->Initialize()) {
    std::fprintf(stderr, "the window did not initialise\n");
    std::exit(1);
  }
  bench.treeCtrl = FindControl<CDropTreeCtrl>(bench.dialog, ID_TREE);
  bench.dialog->Show();
  wxTheApp->Yield();
  bench.emptyWindowMiB = PeakMemoryMiB();
  bench.emptyWindowResidentMiB = ResidentMiB();
  bench.emptyWindowHeapMiB = HeapInUseMiB();
  std::tie(bench.emptyWindowAnonymousMiB, bench.emptyWindowFilesMiB) = AnonymousAndFileMiB();
}

double AddFolder(Bench& bench) {
  return SecondsOf([&] {
    bench.dialog->OnAddFolder();
    wxTheApp->Yield();  // the tree's layout and painting after the insertion
  });
}

// After a change, until the plan line shows the new size: the event loop runs
// meanwhile; its longest turn is how long the window was held.
double UntilSizeShown(Bench& bench) {
  const auto start = std::chrono::steady_clock::now();
  double longestTurn = 0;
  do {
    const auto turn = std::chrono::steady_clock::now();
    wxTheApp->Yield();
    longestTurn = std::max(longestTurn, std::chrono::duration<double>(std::chrono::steady_clock::now() - turn).count());
    if (bench.dialog->DiscPlan().IsPlanning()) wxMilliSleep(1);
  } while (bench.dialog->DiscPlan().IsPlanning());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("  (%s; the window's longest wait %.1f ms)\n",
              FindControl<wxStaticText>(bench.dialog, ID_PLAN_LINE)->GetLabel().utf8_string().c_str(), longestTurn * 1000);
  return seconds;
}

// Add Folder of the whole tree, then the size line: insertion and plan.
double AddFolderToSizeShown(Bench& bench) {
  bench.treeCtrl->ResetTree();
  bench.insertion = AddFolder(bench);
  bench.insertionToSizeShown = bench.insertion + UntilSizeShown(bench);
  return bench.insertionToSizeShown;
}

// That time as a multiple of the insertion's own.
double SizeShownPerInsertion(Bench& bench) {
  std::printf("  (insertion %.3f s, to the size shown %.3f s)\n", bench.insertion, bench.insertionToSizeShown);
  return bench.insertionToSizeShown / bench.insertion;
}

// The ISO level chosen as a click in its list does.
void ChooseLevel(Bench& bench, int index) {
  wxComboBox* box = FindControl<wxComboBox>(bench.dialog, ID_ISO_LEVEL);
  box->SetSelection(index);
  wxCommandEvent event(wxEVT_COMBOBOX, box->GetId());
  event.SetEventObject(box);
  event.SetInt(index);
  box->GetEventHandler()->ProcessEvent(event);
}

// One more change to the full layout (ISO level 1: every name mapped) until it shows.
double ChangeOfAFullLayout(Bench& bench) {
  ChooseLevel(bench, 1);
  const double seconds = UntilSizeShown(bench);
  ChooseLevel(bench, 0);
  UntilSizeShown(bench);
  return seconds;
}

// A layout of 300 files: one change until its size shows.
double ChangeOfAFewHundred(Bench& bench) {
  CDropTreeCtrl& tree = *bench.treeCtrl;
  tree.ResetTree();
  for (int i = 0; i < 300; ++i) tree.Model().InsertPath(bench.flat + "/clip" + std::to_string(i) + ".dat", LayoutModel::TOP_LEVEL);
  UntilSizeShown(bench);
  tree.ToggleForm2(tree.GetLastChild(tree.TopLevel()));
  return UntilSizeShown(bench);
}

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The CPU time of the calling thread, which stays meaningful on a busy machine.
double ThreadCpuSeconds() { return CpuSeconds(RUSAGE_THREAD); }

double BuildCommandLine(Bench& bench) {
  bool built = false;
  // The look-ups alone, as the build makes them: one per file.
  const LayoutModel& model = bench.treeCtrl->Model();
  const double lookUpsBefore = ThreadCpuSeconds();
  PathLookUps lookUps;
  for (int index = 1; index < model.NextIndex(); ++index) {
    if (!model.IsFolder(index)) lookUps(model.ItemPath(index));
  }
  const double lookUpsCpu = ThreadCpuSeconds() - lookUpsBefore;
  const double cpuBefore = ThreadCpuSeconds();
  const double processCpuBefore = CpuSeconds(RUSAGE_SELF);
  const double seconds = SecondsOf([&] { built = bench.dialog->BuildCommandLine(); });
  // The look-ups of a large layout are shared with a second thread: the
  // window's thread waits for less than the process works.
  std::printf("  (CPU %.3f s, of all threads %.3f s; the look-ups alone in one thread %.3f s)\n",
              ThreadCpuSeconds() - cpuBefore, CpuSeconds(RUSAGE_SELF) - processCpuBefore, lookUpsCpu);
  if (!built) std::fprintf(stderr, "the build failed\n");
  std::printf("  (%d items in the store)\n", bench.treeCtrl->NextIndex() - 1);
  return seconds;
}

// Save of the whole layout: the option string built again (every file looked
// up) and written whole. The replace question is answered Yes.
double SaveStructure(Bench& bench) {
  YesToEveryBox answers;
  answers.Register();
  const double seconds = SecondsOf([&] { bench.dialog->OnSave(); });
  answers.Unregister();
  std::error_code error;
  const auto size = fs::file_size(bench.chooser->structureFile, error);
  std::printf("  (%ju bytes written)\n", static_cast<std::uintmax_t>(error ? 0 : size));
  return seconds;
}

// Load of that file: the tree reset and every item inserted again from disk.
double LoadStructure(Bench& bench) {
  const int before = bench.treeCtrl->NextIndex();
  const double seconds = SecondsOf([&] {
    bench.dialog->OnLoad();
    wxTheApp->Yield();
  });
  if (bench.treeCtrl->NextIndex() != before) {
    std::fprintf(stderr, "loaded %d items, saved %d\n", bench.treeCtrl->NextIndex() - 1,
                 before - 1);
  }
  return seconds;
}

// What the loaded layout holds above the empty window, at rest: once its
// plan is shown.
double LayoutMemory(Bench& bench) {
  UntilSizeShown(bench);
  const double resident = ResidentMiB();
  std::printf("  (resident %.1f MiB, the empty window %.1f MiB; heap in use %.1f MiB, the empty window's %.1f MiB)\n",
              resident, bench.emptyWindowResidentMiB, HeapInUseMiB(), bench.emptyWindowHeapMiB);
  const auto [anonymous, files] = AnonymousAndFileMiB();
  std::printf("  (of it anonymous %.1f MiB, the empty window's %.1f MiB; mapped files %.1f MiB, the empty window's %.1f MiB)\n",
              anonymous, bench.emptyWindowAnonymousMiB, files, bench.emptyWindowFilesMiB);
  return resident - bench.emptyWindowResidentMiB;
}

// Write ISO of the whole layout (the stand-in tool ends at once), until the
// run has ended and its message is answered.
void WriteIso(Bench& bench) {
  YesToEveryBox answers;
  answers.Register();
  bench.dialog->OnWriteIso();
  const wxWindow* writeIso = FindControl<wxButton>(bench.dialog, ID_WRITE_ISO);
  while (!writeIso->IsEnabled()) {  // disabled while the run lasts
    wxTheApp->Yield();
    wxMilliSleep(5);
  }
  wxTheApp->Yield();
  answers.Unregister();
}

// How far one Write ISO raises the peak memory.
double WriteIsoPeakGrowth(Bench& bench) {
  const double before = PeakMemoryMiB();
  const double seconds = SecondsOf([&] { WriteIso(bench); });
  std::printf("  (peak %.1f MiB before, %.1f MiB after; resident after %.1f MiB; %.1f s)\n", before,
              PeakMemoryMiB(), ResidentMiB(), seconds);
  return PeakMemoryMiB() - before;
}

// Three more Write ISO: what the window holds after them, above what it held
// with the layout loaded before the first.
double ResidentAfterFourWriteIso(Bench& bench) {
  for (int i = 0; i < 3; ++i) WriteIso(bench);
  const double resident = ResidentMiB();
  std::printf("  (resident %.1f MiB, peak %.1f MiB)\n", resident, PeakMemoryMiB());
  return resident - bench.emptyWindowResidentMiB;
}

// The top folder of the loaded layout.
wxTreeItemId TopFolder(Bench& bench) {
  CDropTreeCtrl& tree = *bench.treeCtrl;
  wxTreeItemIdValue cookie;
  return tree.GetFirstChild(tree.TopLevel(), cookie);
}

// Set/Unset Form2 on the folder that holds the whole layout, answered Yes:
// every file below it is marked and shown bold.
double ToggleForm2OfAll(Bench& bench) {
  YesToEveryBox answers;
  answers.Register();
  const double seconds = SecondsOf([&] {
    bench.treeCtrl->ToggleForm2(TopFolder(bench));
    wxTheApp->Yield();
  });
  answers.Unregister();
  return seconds;
}

// A move of that folder with its whole subtree (a drag onto empty space).
double MoveAll(Bench& bench) {
  return SecondsOf([&] {
    CDropTreeCtrl& tree = *bench.treeCtrl;
    MoveItem(tree.Model(), tree.ItemIndex(TopFolder(bench)), LayoutModel::TOP_LEVEL);
    wxTheApp->Yield();
  });
}

double RemoveAll(Bench& bench) {
  return SecondsOf([&] {
    bench.treeCtrl->RemoveAll();
    wxTheApp->Yield();
  });
}

double FindListing(Bench& bench) {
  const std::string command = "find '" + bench.tree + "' -type f -printf '%s\\n' > /dev/null";
  return SecondsOf([&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
  });
}

double AddFlatFolder(Bench& bench) {
  bench.treeCtrl->ResetTree();
  return SecondsOf([&] {
    bench.treeCtrl->Model().InsertPath(bench.flat, LayoutModel::TOP_LEVEL);
    wxTheApp->Yield();
  });
}

struct Step {
  const char* name;
  double (*measure)(Bench&);
  double target;
  const char* unit;
};

const Step STEPS[] = {
    {"Add Folder (insertion)", AddFolder, 2.0, "s"},
    {"Add Folder of 49,999 items to the size shown", AddFolderToSizeShown, 3.0, "s"},
    {"  the same, as a multiple of the insertion", SizeShownPerInsertion, 1.5, "x"},
    {"a change of the full layout to the size shown", ChangeOfAFullLayout, 1.0, "s"},
    {"BuildCommandLine", BuildCommandLine, 0.15, "s"},
    {"Save (structure file)", SaveStructure, 1.0, "s"},
    {"Load (structure file)", LoadStructure, 1.0, "s"},
    {"the loaded layout above the empty window", LayoutMemory, 40.0, "MiB"},
    {"one Write ISO: growth of the peak memory", WriteIsoPeakGrowth, 1.0, "MiB"},
    {"after four Write ISO, above the empty window", ResidentAfterFourWriteIso, 40.0, "MiB"},
    {"Set/Unset Form2 of the whole layout", ToggleForm2OfAll, 2.0, "s"},
    {"move of the whole layout", MoveAll, 2.0, "s"},
    {"Remove All", RemoveAll, 1.0, "s"},
    {"find -type f -printf (for comparison)", FindListing, 0.0, "s"},
    {"insertion of one folder of 20,000 files", AddFlatFolder, 0.0, "s"},
    {"a change of 300 items to the size shown", ChangeOfAFewHundred, 0.1, "s"},
};

}  // namespace

int main(int argc, char** argv) {
  ReturnFreedMemoryPromptly();  // as the program does at its start
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display: run under xvfb-run -a\n");
    return 1;
  }
  Bench bench;
  bench.workDir = argc > 1 ? argv[1] : (fs::temp_directory_path() / "brenvox_layout_bench").string();
  GenerateTree(bench);
  MakeWindow(bench);
  bool allMet = true;
  for (const Step& step : STEPS) {
    // The CPU time of every thread beside each figure: on a busy machine it
    // says what the wall-clock time cannot.
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double value = step.measure(bench);
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const bool met = step.target <= 0.0 || value < step.target;
    allMet = allMet && met;
    if (step.target > 0.0) {
      std::printf("%-40s %8.3f %s   (target < %g %s) %s   [CPU %.3f s]\n", step.name, value, step.unit,
                  step.target, step.unit, met ? "ok" : "MISSED", cpu);
    } else {
      std::printf("%-40s %8.3f %s   [CPU %.3f s]\n", step.name, value, step.unit, cpu);
    }
  }
  std::printf("%-40s %8.1f MiB\n", "peak memory of the empty window", bench.emptyWindowMiB);
  const double peak = PeakMemoryMiB();
  allMet = allMet && peak < 200.0;
  std::printf("%-40s %8.1f MiB (target < 200 MiB) %s\n", "peak memory (ru_maxrss)", peak,
              peak < 200.0 ? "ok" : "MISSED");
  bench.dialog->Destroy();
  wxEntryCleanup();
  return allMet ? 0 : 2;
}
