// The tool's failures: one small set of kinds, each with its exit status.
// A message names the file (or the argument) and the cause.
#pragma once

#include <optional>
#include <string>
#include <utility>

enum class ExitCode : int {
  Success = 0,
  Usage = 1,          // unknown option, missing value, no -o
  InputError = 2,     // a -f/-m file cannot be read, or changed size meanwhile
  OutputError = 3,    // the image cannot be written (the partial .bin stays)
  LayoutError = 4,    // too many sectors, tracks, folders, or too deep a folder
  ImageFaults = 5,    // --check/--extract: bad sectors or structures, files left out
};

struct ToolError {
  ExitCode code = ExitCode::OutputError;
  std::string message;
};

// The result of one pipeline step: nothing, or the failure that stops the run.
using Status = std::optional<ToolError>;

inline ToolError InputError(std::string message) { return {ExitCode::InputError, std::move(message)}; }
inline ToolError OutputError(std::string message) { return {ExitCode::OutputError, std::move(message)}; }
inline ToolError LayoutError(std::string message) { return {ExitCode::LayoutError, std::move(message)}; }
