// Files of the program's own are written whole: a temporary file in the same
// folder, every write and the close checked, then a rename over the target.
#pragma once

#include <string>
#include <string_view>

// Writes content to path. On failure returns false, leaves any previous file
// untouched, removes the temporary file and puts the cause into *error.
bool WriteFileWhole(const std::string& path, std::string_view content,
                    std::string* error = nullptr);

// Reads a whole file. False when it cannot be opened or read.
bool ReadFileWhole(const std::string& path, std::string& content);

// True when a file of that name can be opened for reading.
bool FileIsReadable(const std::string& path);
