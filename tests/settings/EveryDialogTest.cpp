// Tables over the dialogs: the number fields take the full-width digits a
// Japanese IME types, and every dialog follows a DPI change (moved to a
// monitor of another scale), which Wine never sends: the test sends it as
// Windows does.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/Dpi.h"
#include "common/Paths.h"
#include "common/System.h"
#include "schedule/StringList.h"
#include "settings/AboutDialog.h"
#include "settings/CommandDialog.h"
#include "settings/ExitDialog.h"
#include "settings/HoldDialog.h"
#include "settings/MediaDialog.h"
#include "settings/OptionsDialog.h"
#include "settings/ScheduleEditDialog.h"
#include "settings/ScheduleListDialog.h"
#include "settings/TimerDialog.h"
#include "settings/WallpaperDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

template <typename Dialog>
void Open(Dialog& dialog, DialogStep step) {
    RunDialog([&] { return static_cast<INT_PTR>(dialog.Run(nullptr)); }, step);
}

// The timer's line without its time, which moves on from one run to the next.
std::wstring TimerLine() {
    StringList lines;
    lines.loadQuietly(L"Zavbell.txt");
    DeleteFileW(L"Zavbell.txt");
    return (lines.at(0).Left(11) + lines.at(0).From(19)).text();
}

class EveryDialogTest : public testing::Test {
protected:
    // Each dialog run with a step, and what it gave: a line, a stored value,
    // a parameter. With a number field: its id, the dialog's OK, a number
    // and what the result then holds.
    struct Row {
        const char* name;
        std::function<std::wstring(DialogStep)> run;
        int field = 0, ok = 0;
        const wchar_t *ascii = nullptr, *found = nullptr;
    };
    std::vector<Row> Dialogs() {
        const WString schedule = JoinPath(folder.path(), L"Zavbell.txt");
        const int user = kElevationDefault;
        auto editor = [](const wchar_t* line) {
            return [line](DialogStep s) {
                DSetAlarm d(kOs10, FALSE, kElevationDefault, line);
                Open(d, s);
                return std::wstring(d.lineText().text());
            };
        };
        // clang-format off
        return {
            {"about", [=](DialogStep s) { DAbout d(user); Open(d, s); return L""; }},
            {"list", [=](DialogStep s) {
                 CreateEmptyFile(schedule);
                 DSelSchedule d(L"set", StartInfo{}, schedule, settings); Open(d, s); return L""; }},
            {"editor", editor(L"  EveryDay 07:00:00 Msg    x"),
             IDC_ALARM_HOUR, IDC_ALARM_OK, L"12", L"  EveryDay 12:00:00 Msg    x"},
            {"editor by intervals", editor(L"  EveryDay every05m Msg    x"),
             IDC_ALARM_INTERVAL, IDC_ALARM_OK, L"15", L"  EveryDay every15m Msg    x"},
            {"hold", [=](DialogStep s) { DSetHold d(L' ', user); Open(d, s); return L""; }},
            {"options", [=](DialogStep s) {
                 DSetParam d(settings, true, user); Open(d, s);
                 return std::to_wstring(settings.ReadInt(L"TimerInt", 0)); },
             IDC_PARAM_TIMER, IDC_PARAM_OK, L"450", L"450"},
            {"timer", [](DialogStep s) { DSetTimer d(StartInfo{}); Open(d, s); return TimerLine(); },
             IDC_TIMER_DAYS, IDC_TIMER_OK, L"2", L"Msg    x"},
            {"command", [=](DialogStep s) {
                 DCommand d(L"x", IDI_SETTINGS, settings, user); Open(d, s); return L""; }},
            {"media", [=](DialogStep s) { DMedia d(L"", IDI_SETTINGS, settings, user); Open(d, s); return L""; }},
            {"exit", [=](DialogStep s) {
                 DExit d(L"通常の終了", false, IDI_SETTINGS, settings, user); Open(d, s);
                 return std::wstring(d.parameter().text()); },
             IDC_EXIT_WAIT, IDC_EXIT_OK, L"30", L"通常の終了 待機時間 =30秒"},
            {"wallpaper", [=](DialogStep s) {
                 DWallpaper d(L"", kOs10, user, settings, folder.path()); Open(d, s); return L""; }},
        };
        // clang-format on
    }

    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // the editor's and the timer's files
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};
};

// Full-width digits give what ASCII ones give: the same boxes (none of
// refusal) and the same line, value or parameter, in ASCII.
TEST_F(EveryDialogTest, NumberFieldsTakeFullWidthDigitsAsTheSameNumber) {
    for (const Row& row : Dialogs()) {
        if (row.field == 0) continue;
        auto okWith = [&](const std::wstring& typed) {
            BoxRecorder boxes;
            std::wstring given = row.run([&](HWND d) {
                // Typing into a closed drop-down combo box leaves no item
                // selected (an edit ignores the message).
                SendDlgItemMessageW(d, row.field, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                SetDlgItemTextW(d, row.field, typed.c_str());
                SetDlgItemTextW(d, IDC_PARAM_EDIT, L"x");  // the timer's Msg needs one
                Click(d, row.ok);
                if (IsWindowVisible(d)) SendMessageW(d, WM_CLOSE, 0, 0);
            });
            for (const RecordedBox& box : boxes.boxes()) given += L"\n" + box.text;
            return given;
        };
        std::wstring full = row.ascii;
        for (wchar_t& unit : full) unit = static_cast<wchar_t>(L'０' + (unit - L'0'));
        const std::wstring ascii = okWith(row.ascii);
        EXPECT_NE(std::wstring::npos, ascii.find(row.found)) << row.name << ": " << Narrow(ascii);
        EXPECT_EQ(Narrow(ascii), Narrow(okWith(full))) << row.name;
    }
}

// Each control's font height, then the small icon's width.
std::vector<LONG> Sizes(HWND dialog) {
    std::vector<LONG> sizes;
    LOGFONTW font{};
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0));
        sizes.push_back(handle != nullptr && GetObjectW(handle, sizeof(font), &font) ? font.lfHeight : 0);
    }
    ICONINFO icon{};
    BITMAP mask{};
    if (GetIconInfo(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)), &icon)) {
        GetObjectW(icon.hbmMask, sizeof(mask), &mask);
        DeleteObject(icon.hbmMask);
        DeleteObject(icon.hbmColor);
    }
    sizes.push_back(mask.bmWidth);
    return sizes;
}

// As Windows sends it: the window's rectangle scaled about its top left.
// Then every control, shown or not, lies in the client area, also at the
// smallest size the user can give the dialog (the list's).
void ChangeDpi(HWND dialog, UINT from, UINT to, const char* name) {
    RECT place{}, client{}, inside{};
    GetWindowRect(dialog, &place);
    RECT suggested{place.left, place.top, place.left + MulDiv(place.right - place.left, to, from),
                   place.top + MulDiv(place.bottom - place.top, to, from)};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(dialog, &place);
    EXPECT_TRUE(EqualRect(&place, &suggested)) << name;
    MINMAXINFO limits{};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    if (limits.ptMinTrackSize.x > 0)
        SetWindowPos(dialog, nullptr, 0, 0, limits.ptMinTrackSize.x, limits.ptMinTrackSize.y,
                     SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(dialog, &client);
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        GetWindowRect(c, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place)) << name << " at " << to << " dpi: control " << GetDlgCtrlID(c);
    }
}

TEST_F(EveryDialogTest, EachDialogFollowsADpiChangeWithItsFontsIconAndControls) {
    BoxRecorder boxes;
    for (const Row& row : Dialogs())
        row.run([&](HWND d) {
            const UINT dpi = DpiOfWindow(d);
            const std::vector<LONG> sizes = Sizes(d);
            ChangeDpi(d, dpi, dpi * 3 / 2, row.name);
            const std::vector<LONG> scaled = Sizes(d);
            for (size_t i = 0; i < sizes.size(); ++i)
                EXPECT_NEAR(sizes[i] * 1.5, scaled[i], 1) << row.name << ": font or icon " << i;
            ChangeDpi(d, dpi * 3 / 2, dpi, row.name);
            EXPECT_EQ(sizes, Sizes(d)) << row.name << " back at " << dpi << " dpi";
            SendMessageW(d, WM_CLOSE, 0, 0);
        });
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
