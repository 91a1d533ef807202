// Ids of the action block's test templates.
#pragma once

#define IDD_BLOCK_WITH_START 9900
#define IDD_BLOCK_TIMER 9901
