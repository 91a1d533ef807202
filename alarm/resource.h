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

// ---- Countdown before stopping the computer ----
#define IDD_EXIT_COUNTDOWN  9500
#define IDC_EXIT_TOTAL      9501    // the total wait, at the full end of the bar
#define IDC_EXIT_BAR        9502
#define IDC_EXIT_NOW        9503
#define IDC_EXIT_CANCEL     9504
