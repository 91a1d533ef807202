// Zavbell.txt under a running ZAV.exe, end to end under Wine: a user editing
// the file while ZAV runs, an editor saving while ZAV saves, ZAV killed while
// it saves, ZAVSet saving while a box of a due record is open, and a reload
// that finds no file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// Seconds between writing a due record and its second: enough for Wine to
// start ZAV (about a second, several on a machine shared with other test runs).
constexpr int kLeadSeconds = 5;

const wchar_t kSaveLeftovers[] = L"Zavbell.txt.*.tmp";

// A record as ZAV writes it once its hold-once flag is used up.
std::wstring Cleared(const std::wstring& record) { return L" " + record.substr(1); }

class ScheduleFileScenario : public ZavFixture {
protected:
    // The way a crash or a user's "end task" ends ZAV.
    void Kill() {
        ASSERT_TRUE(TerminateProcess(zav.handle(), 1));
        ASSERT_TRUE(zav.WaitForExit());
    }
};

TEST_F(ScheduleFileScenario, ALineAppendedWhileZavRunsSurvivesZavsNextSave) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    const std::wstring held = EveryDayRecord(due, L"Msg", L"今日は休み", L'#');
    const std::wstring example = L"X _______  01:00:00 Msg    例";
    ASSERT_NO_FATAL_FAILURE(StartZav({held, example}));
    // The user appends a line with an editor after ZAV has read the file.
    const std::wstring appended = L"  EveryDay 23:59:58 Msg    エディタで追加した予定";
    sandbox.WriteSchedule({held, example, appended});
    // At its second the hold is used up and ZAV saves its mark.
    const std::vector<std::wstring> expected = {Cleared(held), example, appended};
    EXPECT_TRUE(WaitUntil([&] { return sandbox.ReadSchedule() == expected; }, kLeadSeconds * 1000 + kWaitMs))
        << "Zavbell.txt:" << Lines(sandbox.ReadSchedule()) << "\nexpected:" << Lines(expected);
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << "boxes: " << Texts(FindBoxes(zav.id()));
    EndZav();
}

// One save of an editor that adds a line at the end: in place, or by writing
// a copy and renaming it over the file. False when the system refused it,
// as an editor then says.
bool EditorAppends(const Sandbox& sandbox, const std::wstring& line, bool inPlace) {
    const std::string bytes = Encode(CP_ACP, line) + "\r\n";
    const std::wstring path = sandbox.PathOf(L"Zavbell.txt");
    if (inPlace) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool done = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                          written == bytes.size();
        return CloseHandle(file) && done;
    }
    const std::wstring copy = sandbox.PathOf(L"Zavbell.txt.editor");
    bool read = false;
    const std::string old = ReadBytes(path, &read);
    if (!read || !WriteBytes(copy, old + bytes)) return false;
    if (MoveFileExW(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(copy.c_str());
    return false;
}

TEST_F(ScheduleFileScenario, NoLineAnEditorSavedIsLostWhileZavSavesEverySecond) {
    // A hold-once record for each of eight seconds makes ZAV save every second
    // (a ZAV that is slow to start only misses the first saves); ten thousand
    // more make each save (a read of the editor's file first) take a while.
    constexpr int kFirstSave = 2;
    constexpr int kSaves = 8;
    std::vector<std::wstring> records;
    for (int second = kFirstSave; second < kFirstSave + kSaves; ++second)
        records.push_back(EveryDayRecord(LocalTimeAfter(second), L"Msg", L"保留 " + std::to_wstring(second), L'#'));
    for (int i = 0; i < 10000; ++i) records.push_back(L"X _______  01:00:00 Msg    予定の説明文 " + std::to_wstring(i));
    ASSERT_NO_FATAL_FAILURE(StartZav(records));

    // Meanwhile an editor adds a line every 20 ms, and tries a refused save again.
    std::vector<std::wstring> saved;
    int refused = 0;
    const ULONGLONG end = GetTickCount64() + (kFirstSave + kSaves + 1) * 1000;
    for (int n = 0; GetTickCount64() < end; Sleep(20)) {
        const std::wstring line = L"X _______  02:00:00 Msg    エディタ " + std::to_wstring(n);
        if (!EditorAppends(sandbox, line, n % 2 == 0)) {
            ++refused;
            continue;
        }
        saved.push_back(line);
        ++n;
    }
    const std::vector<std::wstring> file = sandbox.ReadSchedule();
    std::vector<std::wstring> lost;
    for (const std::wstring& line : saved)
        if (std::find(file.begin(), file.end(), line) == file.end()) lost.push_back(line);
    EXPECT_TRUE(lost.empty()) << lost.size() << " of " << saved.size() << " saved lines lost (" << refused
                              << " saves refused):" << Lines(lost);
    // The race was run: ZAV saved its marks meanwhile.
    int cleared = 0;
    for (int i = 0; i < kSaves; ++i) cleared += std::count(file.begin(), file.end(), Cleared(records[i])) > 0;
    EXPECT_GE(cleared, 1) << "no hold of ZAV's reached the file";
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << "boxes: " << Texts(FindBoxes(zav.id()));
    EndZav();
}

TEST_F(ScheduleFileScenario, KilledWhileSavingZavAlwaysRestartsOnTheUsersSchedule) {
    // A hold-once record for each of the next seconds makes ZAV save every
    // second; a few thousand more records make each save take a while.
    std::vector<std::wstring> records;
    for (int second = 1; second <= 90; ++second) {
        records.push_back(EveryDayRecord(LocalTimeAfter(second), L"Msg", L"保留 " + std::to_wstring(second), L'#'));
    }
    for (int i = 0; i < 3000; ++i) {
        records.push_back(L"X _______  01:00:00 Msg    長い予定の説明文をここに書いておきます。番号 " + std::to_wstring(i));
    }
    std::set<std::wstring> allowed(records.begin(), records.end());
    for (int second = 0; second < 90; ++second) allowed.insert(Cleared(records[second]));
    ASSERT_NO_FATAL_FAILURE(StartZav(records));

    int killedWhileSaving = 0;
    for (int round = 1; round <= 6; ++round) {
        // Killed the moment its save's temporary file appears: while it
        // writes it or renames it. Polled far more often than WaitUntil
        // does, since a save lasts a few milliseconds.
        bool seen = false;
        for (ULONGLONG deadline = GetTickCount64() + 4000; !seen && GetTickCount64() < deadline; Sleep(1)) {
            seen = !FilesMatching(sandbox, kSaveLeftovers).empty();
        }
        ASSERT_NO_FATAL_FAILURE(Kill());
        killedWhileSaving += seen;

        std::vector<std::wstring> file = sandbox.ReadSchedule();
        ASSERT_EQ(file.size(), records.size()) << "round " << round << ": Zavbell.txt is not complete"
                                               << (sandbox.Exists(L"Zavbell.txt") ? "" : " (it is gone)");
        for (const std::wstring& line : file) {
            ASSERT_TRUE(allowed.count(line)) << "round " << round << ": a line ZAV never had: " << Narrow(line);
        }

        ASSERT_NO_FATAL_FAILURE(Restart());
        // The restarted ZAV took the user's schedule, not the tutorial.
        EXPECT_TRUE(sandbox.StandInWords().empty()) << "ZAVSet was started with:" << Lines(sandbox.StandInWords());
        // And removed what the killed one left; only its own save may be there.
        const std::wstring own = L"Zavbell.txt." + std::to_wstring(zav.id()) + L".tmp";
        std::vector<std::wstring> leftovers = FilesMatching(sandbox, kSaveLeftovers);
        leftovers.erase(std::remove(leftovers.begin(), leftovers.end(), own), leftovers.end());
        EXPECT_TRUE(leftovers.empty()) << "round " << round << ": left behind:" << Lines(leftovers);
    }
    // The kills are timed by the temporary file: most must have hit a save.
    EXPECT_GE(killedWhileSaving, 4) << "kills that met a save: " << killedWhileSaving << " of 6";
    EndZav();
}

TEST_F(ScheduleFileScenario, ARunOnceRecordIsGoneFromTheFileWhileItsBoxIsOpenAndAReloadRepeatsNothing) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    const std::wstring daily = EveryDayRecord(due, L"Msg", L"毎日の予定");
    const std::wstring once = EveryDayRecord(due, L"Msg", L"一度だけの予定", L'!');
    ASSERT_NO_FATAL_FAILURE(StartZav({daily, once}));
    HWND first = WaitForBox(zav.id(), L"毎日の予定", kLeadSeconds * 1000 + kWaitMs);
    ASSERT_NE(first, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(first));
    HWND second = WaitForBox(zav.id(), L"一度だけの予定");
    ASSERT_NE(second, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    // The pass wrote its mark before it showed the box.
    EXPECT_EQ(sandbox.ReadSchedule(), std::vector<std::wstring>{daily}) << "Zavbell.txt:" << Lines(sandbox.ReadSchedule());

    // Meanwhile the user adds two records in ZAVSet, which sort above the
    // others; ZAVSet saves what it read plus them and has ZAV reload.
    std::vector<std::wstring> saved = {L"  _______  05:00:00 Msg    追加一", L"  _______  06:00:00 Msg    追加二"};
    for (const std::wstring& line : sandbox.ReadSchedule()) saved.push_back(line);
    sandbox.WriteSchedule(saved);
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 0, 0, &answer)) << "reload not answered";
    EXPECT_TRUE(AnswerBox(second));

    // The pass goes on over the reloaded list, where the daily record now
    // stands below the place it was: it does not run again in its second.
    bool more = WaitUntil([&] { return !FindBoxes(zav.id()).empty(); }, 2000);
    EXPECT_FALSE(more) << "boxes after the reload: " << Texts(FindBoxes(zav.id()));
    EXPECT_EQ(sandbox.ReadSchedule(), saved) << "Zavbell.txt:" << Lines(sandbox.ReadSchedule());
    for (const Box& box : FindBoxes(zav.id())) AnswerBox(box.window);
    EndZav();
}

TEST_F(ScheduleFileScenario, AReloadThatFindsNoFileKeepsTheAlarms) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds + 2);
    const std::wstring record = EveryDayRecord(due, L"Msg", L"消えない予定");
    ASSERT_NO_FATAL_FAILURE(StartZav({record}));
    // The file is briefly gone (an editor saving by delete and rename) when
    // ZAVSet's reload message arrives.
    ASSERT_TRUE(MoveFileW(sandbox.PathOf(L"Zavbell.txt").c_str(), sandbox.PathOf(L"Zavbell.txt.bak").c_str()));
    {
        AsyncSend reload(zav.window(), ControlMessage(), 0, 0);
        std::wstring text;
        HWND box = WaitForAnyBox(zav.id(), &text);
        ASSERT_NE(box, nullptr) << "no box for the missing file";
        const std::wstring missing = L"\\Zavbell.txt\nファイルがないのかもしれません";
        EXPECT_TRUE(text.size() > missing.size() && text.compare(text.size() - missing.size(), missing.size(), missing) == 0)
            << Narrow(text);
        EXPECT_TRUE(AnswerBox(box));
        EXPECT_TRUE(reload.Wait());
    }
    ASSERT_TRUE(MoveFileW(sandbox.PathOf(L"Zavbell.txt.bak").c_str(), sandbox.PathOf(L"Zavbell.txt").c_str()));
    // ZAV kept its alarms: the record still comes due.
    HWND box = WaitForBox(zav.id(), L"消えない予定", kLeadSeconds * 1000 + 3000 + kWaitMs);
    ASSERT_NE(box, nullptr) << "the alarm was lost; boxes: " << Texts(FindBoxes(zav.id()));
    SYSTEMTIME seen;
    GetLocalTime(&seen);
    EXPECT_GE(SecondsBetween(due, seen), 0.0) << "shown before its second";
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_EQ(sandbox.ReadSchedule(), std::vector<std::wstring>{record});
    EndZav();
}

TEST_F(ScheduleFileScenario, AScheduleTooLargeToHoldIsRefusedWithOneBox) {
    sandbox.InstallStandIn();
    // 733 MB, sparse: the size a 32-bit ZAV once ended on with code 3.
    const LONGLONG size = 733LL * 1000 * 1000;
    {
        HANDLE file = CreateFileW(sandbox.PathOf(L"Zavbell.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = size;
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    ASSERT_TRUE(zav.Start(sandbox));
    std::wstring text;
    HWND box = WaitForAnyBox(zav.id(), &text);
    ASSERT_NE(box, nullptr) << "no box; ZAV " << (zav.Running() ? "runs" : "ended with code ") << zav.ExitCode();
    const std::wstring tail = L"\\Zavbell.txt\nファイルが大きすぎるので読み込めません (733000000 バイト)";
    EXPECT_TRUE(text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0)
        << Narrow(text);
    EXPECT_TRUE(AnswerBox(box));
    // ZAV goes on without alarms; ZAVSet was not asked to convert what
    // neither program can read, and nothing was written.
    ASSERT_NE(zav.WaitForWindow(), nullptr) << "ZAV ended with code " << zav.ExitCode();
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << "boxes: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(sandbox.StandInWords().empty()) << "ZAVSet was started with:" << Lines(sandbox.StandInWords());
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(sandbox.PathOf(L"Zavbell.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ((static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, size);
    EndZav();
}

}  // namespace
