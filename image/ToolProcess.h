// One run of the tool as a child process, started by StartTool (no shell, a
// process group of its own, bound to the window's life, an argument file when
// the entries do not fit into an argument list), its output read as it comes
// so that the pipes never fill, and its end taken with the exact wait status.
// (wxExecute reports the status folded into a signed char, so exit code 200
// would read as -56 and exit code 255 as signal 1: the run starts and waits
// for the process itself.)
#pragma once

#include <sys/types.h>

#include <wx/event.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <memory>
#include <string>
#include <vector>

#include "image/CommandLine.h"
#include "image/ProgressScale.h"
#include "image/RunOutcome.h"
#include "image/ToolConsole.h"

class ToolProcess : public wxEvtHandler {
 public:
  // Starts program with the entries as its arguments. Null when the process
  // could not be started; *error then holds the system's reason.
  static std::unique_ptr<ToolProcess> Start(const std::string& program, const CommandLine& entries,
                                            std::string* error = nullptr);
  // Kills a tool that is still running, with its children, and waits for it.
  ~ToolProcess() override;

  // From now on the tool's output is also shown in console.
  void ShowIn(ToolConsole* console);
  // Reads what the tool has written so far and notices its end (also done
  // every 100 ms while the event loop runs).
  void Poll();
  bool HasEnded() const { return m_ended; }
  ToolEnd End() const { return m_end; }
  const std::string& ErrorOutput() const { return m_errors; }
  // The last "NN%" line the tool wrote on stdout (0 before the first).
  int Percent() const { return m_percent; }
  // The name the tool was given for its entries ("@/dev/fd/N" without the
  // "@"), when they went through a file; else empty.
  const std::string& ArgumentFile() const { return m_argumentFile; }

  ProgressScale scale;  // how image sizes map onto the progress bar

 private:
  ToolProcess() = default;
  void ReadPipe(int& fd, bool isErrorPipe);
  void Append(const std::string& chunk, bool isErrorPipe);
  void TakeProgress(const std::string& chunk);

  pid_t m_pid = -1;
  int m_outFd = -1;
  int m_errFd = -1;
  bool m_ended = false;
  ToolEnd m_end;
  std::string m_errors;
  std::string m_outLine;  // the stdout line not yet ended
  int m_percent = 0;
  std::string m_argumentFile;
  wxWeakRef<ToolConsole> m_console;
  wxTimer m_pollTimer;
};
