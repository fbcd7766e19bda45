// The tool's two runs that read an existing image instead of writing one:
//   brenvox.exe --extract IMAGE FOLDER   files into FOLDER, layout FOLDER.kbv
//   brenvox.exe --check IMAGE            every sector and the file system
// Both print "NN%" progress lines on stdout like a writing run, problems on
// stderr, and a summary last; status 0 when all is well, 5 when the image has
// faults (for --extract: the layout was written, but files were left out or
// damaged), 1-3 as for a writing run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tool/ToolError.h"

ExitCode RunExtract(const std::string& imagePath, const std::string& folder);
ExitCode RunCheck(const std::string& imagePath);

// The run that the first argument asks for, --extract or --check; nothing
// when it asks for neither (a writing run).
std::optional<ExitCode> RunReadRequest(const std::vector<std::string>& args);
