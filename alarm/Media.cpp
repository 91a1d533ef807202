#include "alarm/Actions.h"

// Plays a sound or video file and returns when it has ended; not built yet.
void Mplay(const WString&) {}
