// Resource ids of ZAV.
#pragma once

#include "common/res/Icons.h"

// ---- Tray menu ----
// IDR_: a resource (the menu template), not a command id like the IDM_ below.
#define IDR_TRAY_MENU       103
#define IDM_EXIT            40001
#define IDM_ABOUT           40002
#define IDM_SETTINGS        40003
#define IDM_TIMER           40004
