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

class EveryDialogTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // the editor's and the timer's files
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};
};

template <typename Dialog>
void Open(Dialog&& dialog, DialogStep step) {
    RunDialog([&] { return static_cast<INT_PTR>(dialog.Run(nullptr)); }, step);
}

// The boxes, then what OK gave after the text was typed into the field.
template <typename Dialog, typename Output>
std::wstring OkWith(Dialog& dialog, int fieldId, const std::wstring& typed, int okId, Output output) {
    BoxRecorder boxes;
    Open(dialog, [&](HWND d) {
        // Typing into a closed drop-down combo box leaves no item selected
        // (an edit ignores the message).
        SendDlgItemMessageW(d, fieldId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetDlgItemTextW(d, fieldId, typed.c_str());
        SetDlgItemTextW(d, IDC_PARAM_EDIT, L"x");  // the timer's Msg needs one
        Click(d, okId);
        if (IsWindowVisible(d)) SendMessageW(d, WM_CLOSE, 0, 0);
    });
    std::wstring shown;
    for (const RecordedBox& box : boxes.boxes()) shown += box.text + L"\n";
    return shown + std::wstring(WString(output()).text());
}

// Full-width digits give what ASCII ones give: the same boxes (none of
// refusal) and the same line, value or parameter, in ASCII.
TEST_F(EveryDialogTest, NumberFieldsTakeFullWidthDigitsAsTheSameNumber) {
    using Ok = std::function<std::wstring(const std::wstring&)>;
    auto editor = [](const wchar_t* line, int id) -> Ok {
        return [=](const std::wstring& typed) {
            DSetAlarm d(kOs10, FALSE, kElevationDefault, line);
            return OkWith(d, id, typed, IDC_ALARM_OK, [&] { return d.lineText().text(); });
        };
    };
    const struct {
        Ok ok;
        const wchar_t* ascii;
        const wchar_t* found;  // in what OK gives with ASCII digits
    } rows[] = {
        {editor(L"  EveryDay 07:00:00 Msg    x", IDC_ALARM_HOUR), L"12", L"  EveryDay 12:00:00 Msg    x"},
        {editor(L"  EveryDay every05m Msg    x", IDC_ALARM_INTERVAL), L"15", L"  EveryDay every15m Msg    x"},
        {[](const std::wstring& typed) {
             DSetTimer d(StartInfo{});
             return OkWith(d, IDC_TIMER_DAYS, typed, IDC_TIMER_OK, [] {
                 StringList lines;
                 lines.loadQuietly(L"Zavbell.txt");
                 DeleteFileW(L"Zavbell.txt");
                 return lines.at(0).Left(11) + lines.at(0).From(19);  // the time moves on between runs
             });
         },
         L"2", L"Msg    x"},
        {[this](const std::wstring& typed) {
             DSetParam d(settings, true, kElevationDefault);
             return OkWith(d, IDC_PARAM_TIMER, typed, IDC_PARAM_OK,
                           [&] { return WString(settings.ReadInt(L"TimerInt", 0)); });
         },
         L"450", L"450"},
        {[this](const std::wstring& typed) {
             DExit d(L"通常の終了", false, IDI_SETTINGS, settings, kElevationDefault);
             return OkWith(d, IDC_EXIT_WAIT, typed, IDC_EXIT_OK, [&] { return d.parameter(); });
         },
         L"30", L"通常の終了 待機時間 =30秒"},
    };
    for (const auto& row : rows) {
        std::wstring full = row.ascii;
        for (wchar_t& unit : full) unit = static_cast<wchar_t>(L'０' + (unit - L'0'));
        const std::wstring ascii = row.ok(row.ascii);
        EXPECT_NE(std::wstring::npos, ascii.find(row.found)) << Narrow(ascii);
        EXPECT_EQ(Narrow(ascii), Narrow(row.ok(full)));
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
    for (const auto& dialog : dialogs)
        dialog.open([&](HWND d) {
            const UINT dpi = DpiOfWindow(d);
            const std::vector<LONG> sizes = Sizes(d);
            ChangeDpi(d, dpi, dpi * 3 / 2, dialog.name);
            const std::vector<LONG> scaled = Sizes(d);
            for (size_t i = 0; i < sizes.size(); ++i)
                EXPECT_NEAR(sizes[i] * 1.5, scaled[i], 1) << dialog.name << ": font or icon " << i;
            ChangeDpi(d, dpi * 3 / 2, dpi, dialog.name);
            EXPECT_EQ(sizes, Sizes(d)) << dialog.name << " back at " << dpi << " dpi";
            SendMessageW(d, WM_CLOSE, 0, 0);
        });
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
