// Open Disc Image for the main window: asks for an image (.cue, .iso, .bin)
// and for the folder to extract it into (a new folder beside the image, named
// after it, is offered), runs "brenvox.exe --extract IMAGE FOLDER" as a child
// the way Write ISO runs the tool (the progress bar follows its "NN%" lines,
// Exit reads Stop), and at its end hands FOLDER.kbv to the window, which
// loads it as Load does. The open layout is replaced only then: a run that
// fails or is stopped leaves it as it was.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/FileChooser.h"

class wxWindow;
class wxGauge;
class wxButton;
class ToolProcess;

class OpenImageCommand {
 public:
  using LoadLayout = std::function<void(const std::string& layoutPath)>;
  OpenImageCommand(wxWindow* parent, FileChooser& chooser, wxGauge* progress, wxButton* writeIso,
                   wxButton* exit, LoadLayout load);
  ~OpenImageCommand();

  // imagePath empty: the user chooses it. Then the folder, then the run.
  void Open(const std::string& toolPath, const std::string& imagePath = {});
  // The window timer's tick: the progress bar and the run's end.
  void Tick();
  // Ends the run (killing the tool if it still runs) and returns to idle.
  void End();
  bool IsRunning() const { return m_tool != nullptr; }
  ToolProcess* Current() const { return m_tool.get(); }

 private:
  bool ChooseImage(std::string& imagePath);
  bool ChooseFolder(const std::string& imagePath, std::string& folder);
  void Finish();

  wxWindow* m_parent;
  FileChooser& m_chooser;
  wxGauge* m_progress;
  wxButton* m_writeIso;
  wxButton* m_exit;
  LoadLayout m_load;
  std::unique_ptr<ToolProcess> m_tool;
  std::string m_layoutPath;
};

