// The texts the window shows, in one place: messages, questions, button
// labels and the tool's name as the program uses it. Plain constants, so the
// plain units may use them too. The texts marked TEXT_ go into the catalog and
// are translated where they are shown; a %s stands for a path, a name or a
// reason filled in there.
#pragma once

#include "common/Translate.h"

// The image writer the window runs, beside the program.
inline constexpr const char* TOOL_NAME = "brenvox.exe";

// The program's name, the title of its message boxes.
inline constexpr const char* PROGRAM_NAME = "brenvoxgui";

// Start-up, and the option controls' first values.
inline constexpr const char* ISO_LEVEL_CHOICES[] = {"ASCII", TEXT_("ISO Level 1"), TEXT_("ISO Level 2")};
inline constexpr const char* DEFAULT_VOLUME_NAME = "BRENVOX";
inline constexpr const char* DEFAULT_FORM2_EXT = "dat";
inline constexpr const char* MSG_TOOL_MISSING =
    TEXT_("Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.");

// The file dialogs' titles.
inline constexpr const char* TITLE_ADD_FILES = TEXT_("Open Files (Form1)");
inline constexpr const char* TITLE_ADD_MEDIA_FILES = TEXT_("Open Video/Audio Files (Form2)");
inline constexpr const char* TITLE_OPEN = TEXT_("Open");
inline constexpr const char* TITLE_SAVE_AS = TEXT_("Save As");

// The tree's context menu.
inline constexpr const char* MENU_MAKE_FOLDER = TEXT_("Make Folder");
inline constexpr const char* MENU_SET_FORM2 = TEXT_("Set/Unset Form2");
inline constexpr const char* MENU_BROWSE_FOLDER = TEXT_("Browse File Folder");
inline constexpr const char* MENU_RENAME = TEXT_("Rename         (F2)");
inline constexpr const char* MENU_REMOVE = TEXT_("Remove       (DEL)");
inline constexpr const char* MENU_REMOVE_ALL = TEXT_("Remove All");
// After the entries above: the list of names that change in the image.
inline constexpr const char* MENU_NAMES = TEXT_("Names...");
inline constexpr const char* MENU_OPEN_IMAGE = TEXT_("Open Disc Image...");

// The layout.
inline constexpr const char* MSG_CANNOT_FIND = TEXT_("Cannot find %s");
// A folder nested deeper than a path can reach, with its path.
inline constexpr const char* MSG_PATH_TOO_LONG = TEXT_("The path is too long to reach: %s");
inline constexpr const char* MSG_LAYOUT_FULL = TEXT_("The layout is full: it holds at most 49999 items.");
// The count and the first path passed over: the text for one and for many.
// English says "items" for any count; a translation gives each of its plural
// forms.
inline constexpr const char* MSG_NOT_ADDED[] = {PLURAL_TEXT_(
    "%lu items were not added: a name with a double quote, or a folder name with a backslash, "
    "cannot be kept in a layout.\n%s",
    "%lu items were not added: a name with a double quote, or a folder name with a backslash, "
    "cannot be kept in a layout.\n%s")};
inline constexpr const char* MSG_APPLY_FORM2_RECURSIVELY =
    TEXT_("You're going to apply \"set/unset form2\"\nto all the files in this folder "
    "recursively.\nAre you sure?");

// Folder names.
inline constexpr const char* MSG_FIRST_CHAR_SPACE = TEXT_("The first character cannot be space");
inline constexpr const char* MSG_TYPE_A_NAME = TEXT_("Type a name for the new folder");
inline constexpr const char* MSG_FORBIDDEN_CHARS =
    TEXT_("Folder name cannot contain characters:  -\\/:*?<>\"|");

// The layout file.
inline constexpr const char* MSG_NOTHING_TO_SAVE = TEXT_("I've nothing to save!");
inline constexpr const char* MSG_REPLACE_FILE =
    TEXT_("This file already exists.\nDo you want to replace it?");
inline constexpr const char* MSG_CANNOT_SAVE = TEXT_("Cannot save structure");
inline constexpr const char* MSG_CANNOT_OPEN = TEXT_("Cannot open file");

// The command line and the batch file.
inline constexpr const char* MSG_CANNOT_WRITE_BATCH = TEXT_("Cannot write batch file.");
// With the first value that holds one of them.
inline constexpr const char* MSG_BATCH_SHELL_CHARS =
    TEXT_("Cannot write batch file: a shell would not read $, ` or \" in a value as text, nor a \\ "
       "at its end or before another \\ or a line break.\n%s");
inline constexpr const char* MSG_BATCH_SAVED = TEXT_("Batch file saved in \"%s\"");

// The image run.
inline constexpr const char* MSG_REPLACE_IMAGE =
    TEXT_("This image already exists.\nDo you want to replace it?");
inline constexpr const char* MSG_CANNOT_WRITE_IMAGE = TEXT_("Cannot write image");
inline constexpr const char* MSG_CANNOT_FIND_TOOL =
    TEXT_("Cannot find brenvox.exe\nplease put this file in GUI directory");
inline constexpr const char* MSG_CANNOT_START_TOOL = TEXT_("Cannot start brenvox.exe: %s");
inline constexpr const char* MSG_IMAGE_CREATED = TEXT_("Image Created");
inline constexpr const char* MSG_IMAGE_NOT_CREATED = TEXT_("Image Not Created");
// The first line of the console once the head of a long output was dropped.
inline constexpr const char* CONSOLE_HEAD_DROPPED =
    TEXT_("[Earlier output dropped: this window keeps the last 1 MiB of the tool's output.]\n");
// Open Disc Image: the image, the folder it is extracted into, the outcome.
inline constexpr const char* TITLE_OPEN_IMAGE = TEXT_("Open Disc Image");
inline constexpr const char* TITLE_EXTRACT_FOLDER = TEXT_("Extract Into Folder");
inline constexpr const char* IMAGE_FILTER = TEXT_("Disc images (*.cue;*.iso;*.bin)") "|*.cue;*.iso;*.bin||";
inline constexpr const char* MSG_IMAGE_NOT_OPENED = TEXT_("Image Not Opened");
inline constexpr const char* MSG_IMAGE_FAULTS = TEXT_("Image Opened, Some Files Left Out or Damaged");
inline constexpr const char* LABEL_EXIT = TEXT_("Exit");
inline constexpr const char* LABEL_STOP = TEXT_("Stop");
