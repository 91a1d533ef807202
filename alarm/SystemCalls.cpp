#include "alarm/SystemCalls.h"

SystemCalls g_systemCalls = {
    ExitWindowsEx,
    SetSystemPowerState,
};
