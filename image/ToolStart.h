// Starting brenvox.exe as a child process (no wx): from an argument vector,
// without a shell, as the leader of a session of its own, with stdin from
// /dev/null and stdout and stderr into pipes. The child is bound to the
// window's life: it gets SIGKILL when the window's process ends, however it
// ends. It inherits no descriptor of the window's but its standard streams
// and, when the entries do not fit into one argument list (E2BIG), the
// anonymous in-memory file that holds them, which it reads as "@/dev/fd/N".
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "common/CommandLine.h"

struct StartedTool {
  pid_t pid = -1;            // -1: not started, see error
  int outFd = -1;            // read ends of its stdout and stderr, non-blocking
  int errFd = -1;
  std::string argumentFile;  // the name the tool reads its entries from ("/dev/fd/N"), or empty
  std::string error;         // why it could not be started (the system's reason)
};

// Starts program with the entries as its arguments.
StartedTool StartTool(const std::string& program, const CommandLine& entries);

// Starts program with argv[1..] = args, stdout on outFd and stderr on errFd;
// inheritedFd (unless -1) is the one other descriptor it keeps open.
// errno-style code in *error on failure.
pid_t SpawnBoundChild(const std::string& program, const std::vector<std::string>& args,
                      int outFd, int errFd, int* error, int inheritedFd = -1);

// What a non-blocking pipe holds now, read chunkBytes at a time until maxBytes
// or more are read: a writer that never stops cannot hold the reader. Closes
// fd and sets it to -1 once every writer has closed the pipe.
std::string ReadAvailable(int& fd, std::size_t maxBytes, std::size_t chunkBytes);

// The entries in the layout structure file's grammar, for "@FILE". False when
// a value cannot be written in it (a double quote, or nothing at all).
bool RenderArgumentFile(const CommandLine& entries, std::string& text);
