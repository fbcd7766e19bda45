// The texts the window shows, in one place: messages, questions, button
// labels and the tool's name as the program uses it. Plain constants, so the
// plain units may use them too.
#pragma once

// The image writer the window runs, beside the program.
inline constexpr const char* TOOL_NAME = "brenvox.exe";

// The program's name, the title of its message boxes.
inline constexpr const char* PROGRAM_NAME = "brenvoxgui";

// Start-up, and the option controls' first values.
inline constexpr const char* ISO_LEVEL_CHOICES[] = {"ASCII", "ISO Level 1", "ISO Level 2"};
inline constexpr const char* DEFAULT_VOLUME_NAME = "BRENVOX";
inline constexpr const char* DEFAULT_FORM2_EXT = "dat";
inline constexpr const char* MSG_TOOL_MISSING =
    "Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.";

// The file dialogs' titles.
inline constexpr const char* TITLE_ADD_FILES = "Open Files (Form1)";
inline constexpr const char* TITLE_ADD_MEDIA_FILES = "Open Video/Audio Files (Form2)";
inline constexpr const char* TITLE_OPEN = "Open";
inline constexpr const char* TITLE_SAVE_AS = "Save As";

// The tree's context menu.
inline constexpr const char* MENU_MAKE_FOLDER = "Make Folder";
inline constexpr const char* MENU_SET_FORM2 = "Set/Unset Form2";
inline constexpr const char* MENU_BROWSE_FOLDER = "Browse File Folder";
inline constexpr const char* MENU_RENAME = "Rename         (F2)";
inline constexpr const char* MENU_REMOVE = "Remove       (DEL)";
inline constexpr const char* MENU_REMOVE_ALL = "Remove All";
// After the entries above: the list of names that change in the image.
inline constexpr const char* MENU_NAMES = "Names...";
inline constexpr const char* MENU_OPEN_IMAGE = "Open Disc Image...";

// The layout.
inline constexpr const char* MSG_CANNOT_FIND = "Cannot find ";  // followed by the path
// Followed by the path: a folder nested deeper than a path can reach.
inline constexpr const char* MSG_PATH_TOO_LONG = "The path is too long to reach: ";
inline constexpr const char* MSG_LAYOUT_FULL = "The layout is full: it holds at most 49999 items.";
// Preceded by the count, followed by the first path passed over.
inline constexpr const char* MSG_NOT_ADDED =
    " items were not added: a name with a double quote, or a folder name with a backslash, "
    "cannot be kept in a layout.\n";
inline constexpr const char* MSG_APPLY_FORM2_RECURSIVELY =
    "You're going to apply \"set/unset form2\"\nto all the files in this folder "
    "recursively.\nAre you sure?";

// Folder names.
inline constexpr const char* MSG_FIRST_CHAR_SPACE = "The first character cannot be space";
inline constexpr const char* MSG_TYPE_A_NAME = "Type a name for the new folder";
inline constexpr const char* MSG_FORBIDDEN_CHARS =
    "Folder name cannot contain characters:  -\\/:*?<>\"|";

// The layout file.
inline constexpr const char* MSG_NOTHING_TO_SAVE = "I've nothing to save!";
inline constexpr const char* MSG_REPLACE_FILE =
    "This file already exists.\nDo you want to replace it?";
inline constexpr const char* MSG_CANNOT_SAVE = "Cannot save structure";
inline constexpr const char* MSG_CANNOT_OPEN = "Cannot open file";

// The command line and the batch file.
inline constexpr const char* MSG_CANNOT_WRITE_BATCH = "Cannot write batch file.";
// Followed by the first value that holds one of them.
inline constexpr const char* MSG_BATCH_SHELL_CHARS =
    "Cannot write batch file: a shell would not read $, ` or \" in a value as text, nor a \\ "
    "at its end or before another \\ or a line break.\n";
inline constexpr const char* MSG_BATCH_SAVED = "Batch file saved in ";  // followed by the quoted name

// The image run.
inline constexpr const char* MSG_REPLACE_IMAGE =
    "This image already exists.\nDo you want to replace it?";
inline constexpr const char* MSG_CANNOT_WRITE_IMAGE = "Cannot write image";
inline constexpr const char* MSG_CANNOT_FIND_TOOL =
    "Cannot find brenvox.exe\nplease put this file in GUI directory";
inline constexpr const char* MSG_CANNOT_START_TOOL = "Cannot start brenvox.exe: ";  // and the reason
inline constexpr const char* MSG_IMAGE_CREATED = "Image Created";
inline constexpr const char* MSG_IMAGE_NOT_CREATED = "Image Not Created";
// The first line of the console once the head of a long output was dropped.
inline constexpr const char* CONSOLE_HEAD_DROPPED =
    "[Earlier output dropped: this window keeps the last 1 MiB of the tool's output.]\n";
// Open Disc Image: the image, the folder it is extracted into, the outcome.
inline constexpr const char* TITLE_OPEN_IMAGE = "Open Disc Image";
inline constexpr const char* TITLE_EXTRACT_FOLDER = "Extract Into Folder";
inline constexpr const char* IMAGE_FILTER = "Disc images (*.cue;*.iso;*.bin)|*.cue;*.iso;*.bin||";
inline constexpr const char* MSG_IMAGE_NOT_OPENED = "Image Not Opened";
inline constexpr const char* MSG_IMAGE_FAULTS = "Image Opened, Some Files Left Out or Damaged";
inline constexpr const char* LABEL_EXIT = "Exit";
inline constexpr const char* LABEL_STOP = "Stop";
