#include "alarm/SystemCalls.h"

SystemCalls systemCalls = {
    ExitWindowsEx,
    SetSystemPowerState,
};
