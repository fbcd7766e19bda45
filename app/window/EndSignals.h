// SIGTERM, SIGINT and SIGHUP to the program end it as Exit does: a run under
// way is stopped first (the tool killed), then the window closes and writes
// gui.ini. The signals are handled from the event loop, not in the handler.
#pragma once

class MainDialog;

// Sends the three signals to `window` from now on; null gives them back their
// default action.
void RouteEndSignals(MainDialog* window);
