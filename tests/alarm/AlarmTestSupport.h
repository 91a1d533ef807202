// One TrayAlarm for the whole test program, built in a folder of its own with
// a one-record schedule, and a box hook that records instead of showing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "alarm/TrayAlarm.h"

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

// Boxes shown since the last call, and forgets them.
std::vector<RecordedBox> TakeBoxes();

// The TrayAlarm of the test program and the folder it started in.
TrayAlarm& TestTray();
const std::wstring& TestFolder();
// Writes Zavbell.ini in that folder (section Zavbell); an empty value removes the key.
void WriteTestSetting(const wchar_t* key, const wchar_t* value);
