#include "alarm/Actions.h"

// Runs a command line; not built yet, so nothing is started and no error shown.
bool Shell(HWND, const WString&) { return true; }
