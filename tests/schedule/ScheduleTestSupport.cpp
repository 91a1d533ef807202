#include "tests/schedule/ScheduleTestSupport.h"

#include <stdio.h>

#include "common/Handles.h"
#include "common/Paths.h"

namespace {

SYSTEMTIME g_now;
std::vector<std::wstring> g_performed;
PassHarness::Reaction g_reaction = nullptr;

void ReadClock(SYSTEMTIME* now) {
    *now = g_now;
}

void RecordAction(const WString& actionText) {
    g_performed.push_back(actionText.text());
    if (g_reaction) g_reaction(actionText);
}

void RecordStart(const wchar_t* commandWord) {
    g_performed.push_back(std::wstring(L"<start ") + commandWord + L">");
}

}  // namespace

std::string Cp932Lines(const Lines& lines) {
    std::string out;
    for (const std::wstring& line : lines) out += Encode(932, line) + "\r\n";
    return out;
}

StringList ListOf(const Lines& lines) {
    StringList list;
    for (const std::wstring& line : lines) list.append(WString(line.c_str()));
    return list;
}

Lines Records(const StringList& list) {
    Lines lines;
    for (int i = 0; i < list.count(); ++i) lines.push_back(list.at(i).text());
    return lines;
}

std::vector<std::wstring> FilesIn(const WString& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(folder, L"*").text(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    FILETIME file;
    // Round trip through FILETIME: the system fills in the day of the week.
    if (SystemTimeToFileTime(&time, &file)) FileTimeToSystemTime(&file, &time);
    return time;
}

SYSTEMTIME AddSeconds(const SYSTEMTIME& time, long long seconds) {
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(seconds * 10000000LL);
    file.dwLowDateTime = value.LowPart;
    file.dwHighDateTime = value.HighPart;
    SYSTEMTIME moved;
    FileTimeToSystemTime(&file, &moved);
    return moved;
}

WString NowText(const SYSTEMTIME& time) {
    wchar_t text[32];
    swprintf(text, 32, L"%02d/%02d/%02d %02d:%02d:%02d", time.wYear % 100, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return WString(text);
}

std::string Describe(const SYSTEMTIME& time) {
    static const char* const names[] = {"su", "mo", "tu", "we", "th", "fr", "sa"};
    char text[64];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d (%s)", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond, time.wDayOfWeek < 7 ? names[time.wDayOfWeek] : "??");
    return text;
}

PassHarness::PassHarness() {
    g_performed.clear();
    g_reaction = nullptr;
    g_now = MakeTime(2024, 1, 1);
    previousHandler_ = SetActionHandler(RecordAction);
    previousStarter_ = SetSettingsStarter(RecordStart);
    previousClock_ = SetClockSource(ReadClock);
}

PassHarness::~PassHarness() {
    SetActionHandler(previousHandler_);
    SetSettingsStarter(previousStarter_);
    SetClockSource(previousClock_);
    g_reaction = nullptr;
}

void PassHarness::SetNow(const SYSTEMTIME& time) {
    g_now = time;
}
SYSTEMTIME PassHarness::Now() {
    return g_now;
}
std::vector<std::wstring>& PassHarness::Performed() {
    return g_performed;
}
void PassHarness::SetReaction(Reaction reaction) {
    g_reaction = reaction;
}
