// ZAVSet's "initschedule": the tutorial schedule of a first run, or the
// conversion of a schedule written before Ver.2.00; and the warning about the
// action words that Ver.2.00 retired.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "schedule/ScheduleLine.h"
#include "schedule/StringList.h"

// The 17 records of the tutorial schedule, in file order.
StringList InitialSchedule();

// One record of the old format (date 0-7, hold flag 8, time 9-13, the action
// from 14, or from 13 after NN'毎) in the current format.
WString ConvertOldRecord(const WString& oldRecord);

// Works on Zavbell.txt in directory: writes the tutorial schedule when there
// is no file; otherwise copies the file byte for byte to "old Zavbell.txt",
// converts every record, writes the result in sort-key order and shows the
// conversion box once that write succeeded. A file that cannot be read is
// left alone after load's error box, a file without records without any box;
// when the copy or the converted file cannot be written, one error box names
// that file (a failed copy leaves Zavbell.txt untouched).
void InitSchedule(const WString& directory);
// The same for the current directory.
void InitSchedule();

// Shows the retired-action box for a record IsRetiredAction names; returns
// whether it did. The list shows it for each such record it opens with.
bool WarnRetiredAction(const WString& record, HWND owner);
