// Icon ids that ZAV, ZAVSet and Quillon64 share: the same picture carries the
// same id in every program, so the settings icon ZAV hands to a box and the one
// ZAVSet shows in its about box are one number. Included by the resource
// scripts (through each program's resource.h) and by the code.
#pragma once

#define IDI_SETTINGS        100     // the settings program's icon, and Quillon64's
#define IDI_ALARM           101     // the tray icon
#define IDI_ALARM_RINGING   102     // its second picture while a Blink waits
