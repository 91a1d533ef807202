// Tables over every dialog that has the thing: the number fields take the
// full-width digits a Japanese IME types, and each dialog follows a DPI
// change (moved to a monitor of another scale). Wine has one DPI for all
// windows: the change is sent as Windows sends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>
#include <utility>
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

class EveryDialogTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // the editor's and the timer's files
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};
};

template <typename Dialog>
void Open(Dialog&& dialog, DialogStep step) {
    RunDialog([&] { return static_cast<INT_PTR>(dialog.Run(nullptr)); }, std::move(step));
}

// ---- Full-width digits ----

std::wstring FullWidth(const std::wstring& ascii) {
    std::wstring text = ascii;
    for (wchar_t& unit : text)
        if (unit >= L'0' && unit <= L'9') unit = static_cast<wchar_t>(0xFF10 + (unit - L'0'));
    return text;
}

// The boxes OK showed, and what it gave (a line, a stored value, a parameter).
using OkResult = std::pair<std::wstring, std::wstring>;

template <typename Dialog, typename Output>
OkResult OkWith(Dialog& dialog, int fieldId, const std::wstring& typed, int okId, int cancelId, Output output) {
    BoxRecorder boxes;
    Open(dialog, [&](HWND d) {
        // Typed into a combo box's edit while its list is closed, the text
        // leaves no item selected (in Windows' combo box as in Wine's).
        if (FindWindowExW(GetDlgItem(d, fieldId), nullptr, L"Edit", nullptr) != nullptr)
            SendDlgItemMessageW(d, fieldId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetDlgItemTextW(d, fieldId, typed.c_str());
        SetDlgItemTextW(d, IDC_PARAM_EDIT, L"x");  // the action's parameter, where there is one
        Click(d, okId);
        if (IsWindowVisible(d)) Click(d, cancelId);
    });
    std::wstring shown;
    for (const RecordedBox& box : boxes.boxes()) shown += box.text + L"\n";
    return {shown, output()};
}

TEST_F(EveryDialogTest, NumberFieldsTakeFullWidthDigitsAsTheSameNumberAndWriteAscii) {
    using Ok = std::function<OkResult(int fieldId, const std::wstring& typed)>;
    auto editor = [](const wchar_t* line) -> Ok {
        return [line](int id, const std::wstring& typed) {
            DSetAlarm dialog(kOs10, FALSE, kElevationDefault, line);
            return OkWith(dialog, id, typed, IDC_ALARM_OK, IDC_ALARM_CANCEL, [&] { return dialog.lineText().text(); });
        };
    };
    Ok timer = [](int id, const std::wstring& typed) {
        DSetTimer dialog(StartInfo{kOs10, FALSE, kElevationDefault});
        return OkWith(dialog, id, typed, IDC_TIMER_OK, IDC_TIMER_CANCEL, [] {
            StringList lines;
            lines.loadQuietly(L"Zavbell.txt");
            DeleteFileW(L"Zavbell.txt");
            // Without the time of day, which the second run's clock moved on.
            std::wstring line = lines.count() == 1 ? lines.at(0).text() : L"";
            return line.size() > 19 ? line.erase(11, 8) : line;
        });
    };
    Ok options = [this](int id, const std::wstring& typed) {
        DSetParam dialog(settings, true, kElevationDefault);
        return OkWith(dialog, id, typed, IDC_PARAM_OK, IDC_PARAM_CANCEL,
                      [&] { return std::to_wstring(settings.ReadInt(L"TimerInt", 0)); });
    };
    Ok exit = [this](int id, const std::wstring& typed) {
        DExit dialog(L"通常の終了", false, IDI_SETTINGS, settings, kElevationDefault);
        return OkWith(dialog, id, typed, IDC_EXIT_OK, IDC_EXIT_CANCEL, [&] { return dialog.parameter().text(); });
    };
    const struct {
        const char* field;
        Ok ok;
        int id;
        const wchar_t* ascii;
        const wchar_t* output;  // with ASCII digits typed; of the timer's line, its start
    } rows[] = {
        {"hour", editor(L"  EveryDay 07:00:00 Msg    x"), IDC_ALARM_HOUR, L"12", L"  EveryDay 12:00:00 Msg    x"},
        {"interval", editor(L"  EveryDay every05m Msg    x"), IDC_ALARM_INTERVAL, L"15",
         L"  EveryDay every15m Msg    x"},
        {"timer days", timer, IDC_TIMER_DAYS, L"2", L"! "},
        {"watch interval", options, IDC_PARAM_TIMER, L"450", L"450"},
        {"exit wait", exit, IDC_EXIT_WAIT, L"30", L"通常の終了 待機時間 =30秒"},
    };
    for (const auto& row : rows) {
        const OkResult ascii = row.ok(row.id, row.ascii);
        EXPECT_EQ(Narrow(row.output), Narrow(ascii.second.substr(0, wcslen(row.output))))
            << row.field << "; boxes: " << Narrow(ascii.first);
        const OkResult full = row.ok(row.id, FullWidth(row.ascii));
        EXPECT_EQ(Narrow(ascii.first), Narrow(full.first)) << row.field;
        EXPECT_EQ(Narrow(ascii.second), Narrow(full.second)) << row.field;
    }
}

// ---- A DPI change ----

std::vector<LONG> FontHeights(HWND dialog) {
    std::vector<LONG> heights;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        LOGFONTW font{};
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0));
        heights.push_back(handle != nullptr && GetObjectW(handle, sizeof(font), &font) ? font.lfHeight : 0);
    }
    return heights;
}

LONG SmallIconWidth(HWND dialog) {
    ICONINFO info{};
    HICON icon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return bitmap.bmWidth;
}

void ExpectControlsInside(HWND dialog, const std::string& what) {
    RECT client{};
    GetClientRect(dialog, &client);
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT place{}, inside{};
        GetWindowRect(c, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place)) << what << ": control " << GetDlgCtrlID(c) << " leaves the client area";
    }
}

// As Windows sends it: the window's rectangle scaled about its top left.
void ChangeDpi(HWND dialog, UINT from, UINT to, const std::string& what) {
    RECT place{};
    GetWindowRect(dialog, &place);
    RECT suggested{place.left, place.top, place.left + MulDiv(place.right - place.left, to, from),
                   place.top + MulDiv(place.bottom - place.top, to, from)};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(dialog, &place);
    EXPECT_TRUE(EqualRect(&place, &suggested)) << what << ": the suggested rectangle";
    ExpectControlsInside(dialog, what + " at " + std::to_string(to) + " dpi");
}

void FollowDpiChanges(HWND dialog, const std::string& what) {
    const UINT dpi = DpiOfWindow(dialog);
    const std::vector<LONG> heights = FontHeights(dialog);
    const LONG icon = SmallIconWidth(dialog);
    ChangeDpi(dialog, dpi, dpi * 3 / 2, what);
    const std::vector<LONG> scaled = FontHeights(dialog);
    for (size_t i = 0; i < heights.size(); ++i)
        EXPECT_NEAR(heights[i] * 3 / 2.0, scaled[i], 1) << what << ": the font of control " << i + 1 << " in Z order";
    EXPECT_EQ(icon * 3 / 2, SmallIconWidth(dialog)) << what;
    // The smallest size the user can give it (the list) holds every control too.
    MINMAXINFO limits{};
    SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    if (limits.ptMinTrackSize.x > 0) {
        SetWindowPos(dialog, nullptr, 0, 0, limits.ptMinTrackSize.x, limits.ptMinTrackSize.y,
                     SWP_NOMOVE | SWP_NOZORDER);
        ExpectControlsInside(dialog, what + " at its smallest");
    }
    ChangeDpi(dialog, dpi * 3 / 2, dpi, what);
    EXPECT_EQ(heights, FontHeights(dialog)) << what << ": back at " << dpi << " dpi";
    SendMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST_F(EveryDialogTest, EachDialogFollowsADpiChangeWithItsFontsIconAndControls) {
    const WString schedule = JoinPath(folder.path(), L"Zavbell.txt");
    ASSERT_TRUE(CreateEmptyFile(schedule));
    BoxRecorder boxes;
    // clang-format off
    const struct {
        const char* name;
        std::function<void(DialogStep)> open;
    } dialogs[] = {
        {"about", [](DialogStep s) { Open(DAbout(kElevationDefault), s); }},
        {"list", [&](DialogStep s) { Open(DSelSchedule(L"set", StartInfo{}, schedule, settings), s); }},
        {"editor", [](DialogStep s) { Open(DSetAlarm(kOs10, FALSE, kElevationDefault, L""), s); }},
        {"hold", [](DialogStep s) { Open(DSetHold(L' ', kElevationDefault), s); }},
        {"options", [&](DialogStep s) { Open(DSetParam(settings, true, kElevationDefault), s); }},
        {"timer", [](DialogStep s) { Open(DSetTimer(StartInfo{}), s); }},
        {"command", [&](DialogStep s) { Open(DCommand(L"x", IDI_SETTINGS, settings, kElevationDefault), s); }},
        {"media", [&](DialogStep s) { Open(DMedia(L"", IDI_SETTINGS, settings, kElevationDefault), s); }},
        {"exit", [&](DialogStep s) { Open(DExit(L"再起動", false, IDI_SETTINGS, settings, kElevationDefault), s); }},
        {"wallpaper", [&](DialogStep s) { Open(DWallpaper(L"", kOs10, kElevationDefault, settings, folder.path()), s); }},
    };
    // clang-format on
    for (const auto& dialog : dialogs) dialog.open([&](HWND d) { FollowDpiChanges(d, dialog.name); });
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
