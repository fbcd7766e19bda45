// View Cmd Line and Generate Batch, for the main window: the entries it has
// built, messages over parent.
#pragma once

#include <cstdint>
#include <string>

#include "common/CommandLine.h"

class wxWindow;

// Shows the option string with the size estimate (a long one in a box that
// scrolls, one entry per line).
void ViewCommandLine(const CommandLine& entries, std::int64_t totalBytes, wxWindow* parent);

// Writes the batch file "<imageTarget>.bat" and says where, or that it cannot.
void GenerateBatch(const CommandLine& entries, const std::string& imageTarget, wxWindow* parent);
