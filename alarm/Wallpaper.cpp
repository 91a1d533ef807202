#include "alarm/Actions.h"

// Changes the desktop wallpaper; not built yet.
void Kabe(const WString&) {}
