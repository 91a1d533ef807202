// One TrayAlarm for the whole test program, built in a folder of its own with
// a one-record schedule. Boxes go through the shared BoxRecorder: the test
// program keeps one for its whole run, so no real box ever waits for a click,
// and a test that looks at boxes opens a recorder of its own.
#pragma once

#include <string>

#include "alarm/TrayAlarm.h"
#include "tests/common/TestSupport.h"

// The TrayAlarm of the test program and the folder it started in.
TrayAlarm& TestTray();
const std::wstring& TestFolder();
// Writes Zavbell.ini in that folder (section Zavbell); an empty value removes the key.
void WriteTestSetting(const wchar_t* key, const wchar_t* value);
