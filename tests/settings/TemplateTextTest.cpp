// Every text of every ZAVSet template fits its control in the control's own
// font (Japanese in the prefix's IPA fonts, which stand in for the dialog
// faces under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SettingsFile.h"
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

void ExpectTextsFit(HWND dialog, const char* name) {
    int checked = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32];
        GetClassNameW(child, className, 32);
        bool isStatic = lstrcmpiW(className, L"Static") == 0;
        bool isButton = lstrcmpiW(className, L"Button") == 0;
        std::wstring text = WindowText(child);
        if ((!isStatic && !isButton) || text.empty()) continue;
        LONG style = GetWindowLongW(child, GWL_STYLE);
        RECT client{};
        GetClientRect(child, &client);
        int available = client.right;
        UINT format = DT_CALCRECT;
        if (isButton) {
            LONG type = style & BS_TYPEMASK;
            bool box =
                type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            // The check mark and its gap; the group box's frame; the push button's edges.
            available -= box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : type == BS_GROUPBOX ? 16 : 6;
            format |= DT_SINGLELINE;
        } else {
            format |= DT_WORDBREAK;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        }
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
        WindowDC dc(child);
        SelectedObject selected(dc.get(), font);
        RECT needed{0, 0, available, 0};
        DrawTextW(dc.get(), text.c_str(), -1, &needed, format);
        EXPECT_LE(needed.right, available)
            << name << " control " << GetDlgCtrlID(child) << " \"" << Narrow(text) << "\" is too wide";
        if (isStatic) {
            EXPECT_LE(needed.bottom, client.bottom)
                << name << " control " << GetDlgCtrlID(child) << " \"" << Narrow(text) << "\" is too tall";
        }
        ++checked;
    }
    EXPECT_GT(checked, 0) << name;
}

TEST(TemplateTextTest, EveryTextFitsItsControl) {
    BoxRecorder boxes;
    TempFolder folder;
    SettingsFile settings(JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell");
    // Elevated (as under Wine) the longer texts are shown.
    const int elevation = kElevationFull;
    DAbout about(elevation);
    RunDialog([&] { return about.Run(nullptr); },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "about");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    DCommand command(L"", IDI_SETTINGS, settings, elevation);
    RunDialog([&] { return command.Run(nullptr) ? 1 : 0; },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "command");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    DExit exit(L"", true, IDI_SETTINGS, settings, elevation);
    RunDialog([&] { return exit.Run(nullptr) ? 1 : 0; },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "exit");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    DMedia media(L"", IDI_SETTINGS, settings, elevation);
    RunDialog([&] { return media.Run(nullptr) ? 1 : 0; },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "media");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    DWallpaper wallpaper(L"", kOs10, elevation, settings, L"C:\\windows");
    RunDialog(
        [&] {
            wallpaper.Run(nullptr);
            return 0;
        },
        [](HWND dialog) {
            ExpectTextsFit(dialog, "wallpaper");
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        });
    DSetParam options(settings, true, elevation);
    RunDialog([&] { return options.Run(nullptr); },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "options");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    DSetHold hold(L' ', elevation);
    RunDialog([&] { return hold.Run(nullptr); },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "hold");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    StringList lines;
    lines.append(WString(L"  EveryDay 07:00:00 Msg    おはよう"));
    ASSERT_TRUE(lines.save(JoinPath(folder.path(), L"Zavbell.txt")));
    StartInfo start;
    start.osLevel = kOs10;
    start.elevation = elevation;
    DSelSchedule list(L"set", start, JoinPath(folder.path(), L"Zavbell.txt"), settings);
    RunDialog([&] { return list.Run(nullptr); },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "schedule list");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    CurrentDirectoryScope here(folder.path());
    DSetTimer timer(start);
    RunDialog([&] { return timer.Run(nullptr); },
              [](HWND dialog) {
                  ExpectTextsFit(dialog, "timer");
                  // The longest parameter label, the wallpaper's.
                  SendDlgItemMessageW(dialog, 1257, BM_CLICK, 0, 0);
                  ExpectTextsFit(dialog, "timer with Kabe");
                  PostMessageW(dialog, WM_CLOSE, 0, 0);
              });
    // The edit dialog in each of its layouts, with the longest texts its
    // controls take at run time (hold labels, "(？)", "分毎", parameter labels).
    const wchar_t* const editLines[] = {
        L"# SMTWTFS  07:00:00 Screen (なし)",
        L"! 26/02/30 every15m Kabe   (なし)",
        L"X lastwe-2 Start    Mplay  a.wav",
        L"  **/**E-3 **:**:00 Exit   a",
    };
    for (const wchar_t* line : editLines) {
        DSetAlarm edit(kOs10, FALSE, elevation, line);
        RunDialog([&] { return edit.Run(nullptr); },
                  [](HWND dialog) {
                      ExpectTextsFit(dialog, "edit");
                      PostMessageW(dialog, WM_CLOSE, 0, 0);
                  });
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
