#include "alarm/Actions.h"

// Stops the computer after a cancellable countdown; not built yet (2: as if cancelled).
int Exit(int, const WString&) { return 2; }
