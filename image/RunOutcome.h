// How a run of the tool ended, and the message the window shows for it.
#pragma once

#include <cstddef>
#include <string>

#include "app/Texts.h"

struct ToolEnd {
  bool bySignal = false;  // ended by a signal rather than by exiting
  int code = 0;           // exit status, or the signal number
};

// Nothing when the tool exited with status 0 ("Image Created" is shown then);
// otherwise "Image Not Created", a blank line, how the tool ended and the last
// lines (at most maxErrorLines) of what it wrote to its error output.
std::string RunEndMessage(const ToolEnd& end, const std::string& errorOutput,
                          std::size_t maxErrorLines = 10);

// What the desktop's notification says when a run ends while the window is
// not the active one, taken from the same end message the window shows:
// "Image Created" with the image's path, or the message's first line ("Image
// Not Created") with the reason below it.
struct RunNotice {
  std::string title;
  std::string body;
};
RunNotice NoticeOfRunEnd(const std::string& endMessage, const std::string& imageFile);

// The last maxLines lines of text, without the final line end.
std::string LastLines(const std::string& text, std::size_t maxLines);

