#include "alarm/Actions.h"

// Starts the named screensaver; not built yet.
void Screen(const WString&) {}

// Starts the 3D-text screensaver with the given text; not built yet.
void ThreeDText(const WString&) {}
