// The texts the window shows, in one place: messages, questions, button
// labels and the tool's name as the program uses it. Plain constants, so the
// plain units may use them too. The texts marked N_ go into the catalog and
// are translated where they are shown; a %s stands for a path, a name or a
// reason filled in there.
#pragma once

#include "common/Translate.h"

// The image writer the window runs, beside the program.
inline constexpr const char* TOOL_NAME = "brenvox.exe";

// The program's name, the title of its message boxes.
inline constexpr const char* PROGRAM_NAME = "brenvoxgui";

// Start-up, and the option controls' first values.
inline constexpr const char* ISO_LEVEL_CHOICES[] = {"ASCII", N_("ISO Level 1"), N_("ISO Level 2")};
inline constexpr const char* DEFAULT_VOLUME_NAME = "BRENVOX";
inline constexpr const char* DEFAULT_FORM2_EXT = "dat";
inline constexpr const char* MSG_TOOL_MISSING =
    N_("Cannot find brenvox.exe\n\nPlease put it in the same folder of GUI.");

// The file dialogs' titles.
inline constexpr const char* TITLE_ADD_FILES = N_("Open Files (Form1)");
inline constexpr const char* TITLE_ADD_MEDIA_FILES = N_("Open Video/Audio Files (Form2)");
inline constexpr const char* TITLE_OPEN = N_("Open");
inline constexpr const char* TITLE_SAVE_AS = N_("Save As");

// The tree's context menu.
inline constexpr const char* MENU_MAKE_FOLDER = N_("Make Folder");
inline constexpr const char* MENU_SET_FORM2 = N_("Set/Unset Form2");
inline constexpr const char* MENU_BROWSE_FOLDER = N_("Browse File Folder");
inline constexpr const char* MENU_RENAME = N_("Rename         (F2)");
inline constexpr const char* MENU_REMOVE = N_("Remove       (DEL)");
inline constexpr const char* MENU_REMOVE_ALL = N_("Remove All");
// After the entries above: the list of names that change in the image.
inline constexpr const char* MENU_NAMES = N_("Names...");
inline constexpr const char* MENU_OPEN_IMAGE = N_("Open Disc Image...");

// The layout.
inline constexpr const char* MSG_CANNOT_FIND = N_("Cannot find %s");
inline constexpr const char* MSG_LAYOUT_FULL = N_("The layout is full: it holds at most 49999 items.");
// The count and the first path passed over: the text for one and for many.
// English says "items" for any count; a translation gives each of its plural
// forms.
inline constexpr const char* MSG_NOT_ADDED[] = {NP_(
    "%lu items were not added: a name with a double quote, or a folder name with a backslash, "
    "cannot be kept in a layout.\n%s",
    "%lu items were not added: a name with a double quote, or a folder name with a backslash, "
    "cannot be kept in a layout.\n%s")};
inline constexpr const char* MSG_APPLY_FORM2_RECURSIVELY =
    N_("You're going to apply \"set/unset form2\"\nto all the files in this folder "
    "recursively.\nAre you sure?");

// Folder names.
inline constexpr const char* MSG_FIRST_CHAR_SPACE = N_("The first character cannot be space");
inline constexpr const char* MSG_TYPE_A_NAME = N_("Type a name for the new folder");
inline constexpr const char* MSG_FORBIDDEN_CHARS =
    N_("Folder name cannot contain characters:  -\\/:*?<>\"|");

// The layout file.
inline constexpr const char* MSG_NOTHING_TO_SAVE = N_("I've nothing to save!");
inline constexpr const char* MSG_REPLACE_FILE =
    N_("This file already exists.\nDo you want to replace it?");
inline constexpr const char* MSG_CANNOT_SAVE = N_("Cannot save structure");
inline constexpr const char* MSG_CANNOT_OPEN = N_("Cannot open file");

// The command line and the batch file.
inline constexpr const char* MSG_CANNOT_WRITE_BATCH = N_("Cannot write batch file.");
// With the first value that holds one of them.
inline constexpr const char* MSG_BATCH_SHELL_CHARS =
    N_("Cannot write batch file: a shell would not read $, ` or \" in a value as text, nor a \\ "
       "at its end or before another \\ or a line break.\n%s");
inline constexpr const char* MSG_BATCH_SAVED = N_("Batch file saved in \"%s\"");

// The image run.
inline constexpr const char* MSG_REPLACE_IMAGE =
    N_("This image already exists.\nDo you want to replace it?");
inline constexpr const char* MSG_CANNOT_WRITE_IMAGE = N_("Cannot write image");
inline constexpr const char* MSG_CANNOT_FIND_TOOL =
    N_("Cannot find brenvox.exe\nplease put this file in GUI directory");
inline constexpr const char* MSG_CANNOT_START_TOOL = N_("Cannot start brenvox.exe: %s");
inline constexpr const char* MSG_IMAGE_CREATED = N_("Image Created");
inline constexpr const char* MSG_IMAGE_NOT_CREATED = N_("Image Not Created");
// The first line of the console once the head of a long output was dropped.
inline constexpr const char* CONSOLE_HEAD_DROPPED =
    N_("[Earlier output dropped: this window keeps the last 1 MiB of the tool's output.]\n");
// Open Disc Image: the image, the folder it is extracted into, the outcome.
inline constexpr const char* TITLE_OPEN_IMAGE = N_("Open Disc Image");
inline constexpr const char* TITLE_EXTRACT_FOLDER = N_("Extract Into Folder");
inline constexpr const char* IMAGE_FILTER = N_("Disc images (*.cue;*.iso;*.bin)") "|*.cue;*.iso;*.bin||";
inline constexpr const char* MSG_IMAGE_NOT_OPENED = N_("Image Not Opened");
inline constexpr const char* MSG_IMAGE_FAULTS = N_("Image Opened, Some Files Left Out or Damaged");
inline constexpr const char* LABEL_EXIT = N_("Exit");
inline constexpr const char* LABEL_STOP = N_("Stop");
