// Resource ids of ZAVSet, grouped by dialog.
#pragma once

// ---- Icons ----
#define IDI_SETTINGS        100
#define IDI_ALARM           101
