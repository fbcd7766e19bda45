// Files of the program's own are written whole: a temporary file in the same
// folder, every write and the close checked, then a rename over the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Writes content to path; through a symbolic link, to the link's target
// (the link stays). On failure returns false, leaves any previous file
// untouched, removes the temporary file and puts the cause into *error.
bool WriteFileWhole(const std::string& path, std::string_view content,
                    std::string* error = nullptr);

// Reads a whole file. False when it cannot be opened or read.
bool ReadFileWhole(const std::string& path, std::string& content);

// Reads at most maxBytes from the start of a file of any kind (a device or a
// FIFO gives what it has at once). False when it cannot be opened or read.
bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& content);

// Reads a regular file of at most maxBytes whole. False, with content
// untouched and the cause in *error, when it cannot be opened or read, is not
// a regular file (a FIFO, a device, a folder) or is larger.
bool ReadRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& content,
                     std::string* error = nullptr);

// True when a file of that name can be opened for reading.
bool FileIsReadable(const std::string& path);

// True when something has that name, also a link to nothing or a file that
// cannot be read: WriteFileWhole would replace it.
bool NameIsTaken(const std::string& path);
