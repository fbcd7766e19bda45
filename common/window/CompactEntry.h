// A narrow one-line entry that shows its characters whole: GTK's theme pads an
// entry by several pixels on each side, which in an entry a few characters
// wide leaves too little room and scrolls the first character out of sight.
#pragma once

class wxTextCtrl;

// Gives entry a padding of two pixels left and right (top and bottom stay
// the theme's). Does nothing where GTK cannot be reached.
void MakeCompactEntry(wxTextCtrl& entry);
