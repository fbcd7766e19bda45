// One run of the tool as a child process: started from an argument vector (no
// shell) as the leader of a process group of its own, its output read as it
// comes so that the pipes never fill, and its end taken with the exact wait
// status. (wxExecute reports the status folded into a signed char, so exit
// code 200 would read as -56 and exit code 255 as signal 1: the run starts
// and waits for the process itself.)
#pragma once

#include <sys/types.h>

#include <wx/event.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <memory>
#include <string>
#include <vector>

#include "image/ProgressScale.h"
#include "image/RunOutcome.h"
#include "image/ToolConsole.h"

class ToolRun : public wxEvtHandler {
 public:
  // Starts program with args. Null when the process could not be started.
  static std::unique_ptr<ToolRun> Start(const std::string& program,
                                        const std::vector<std::string>& args);
  // Kills a tool that is still running, with its children, and waits for it.
  ~ToolRun() override;

  // From now on the tool's output is also shown in console.
  void ShowIn(ToolConsole* console);
  // Reads what the tool has written so far and notices its end (also done
  // every 100 ms while the event loop runs).
  void Poll();
  bool HasEnded() const { return m_ended; }
  ToolEnd End() const { return m_end; }
  const std::string& ErrorOutput() const { return m_errors; }
  pid_t Pid() const { return m_pid; }

  ProgressScale scale;  // how image sizes map onto the progress bar

 private:
  ToolRun() = default;
  void ReadPipe(int& fd, bool isErrorPipe);
  void Append(const std::string& chunk, bool isErrorPipe);

  pid_t m_pid = -1;
  int m_outFd = -1;
  int m_errFd = -1;
  bool m_ended = false;
  ToolEnd m_end;
  std::string m_errors;
  wxWeakRef<ToolConsole> m_console;
  wxTimer m_pollTimer;
};
