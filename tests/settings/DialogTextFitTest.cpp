// Each caption of the options, hold, schedule list and edit dialogs fits its
// control in the control's own font: buttons, check boxes, radio buttons and
// group boxes on one line, statics within their height when wrapped.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "schedule/StringList.h"
#include "settings/AlarmDialog.h"
#include "settings/HoldDialog.h"
#include "settings/ParamDialog.h"
#include "settings/ScheduleListDialog.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

// The text's extent in the control's font: one line, or wrapped at width.
SIZE TextExtent(HWND control, const std::wstring& text, int wrapWidth) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, wrapWidth > 0 ? wrapWidth : 10000, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

BOOL CALLBACK CheckFit(HWND control, LPARAM) {
    std::wstring text = WindowText(control);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    if (text.empty()) return TRUE;
    RECT rect{};
    GetClientRect(control, &rect);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    int id = GetDlgCtrlID(control);
    if (lstrcmpiW(className, L"Button") == 0) {
        LONG type = style & BS_TYPEMASK;
        int room = rect.right;
        if (type == BS_GROUPBOX)
            room -= 2 * GetSystemMetrics(SM_CXEDGE) + 8;
        else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
            room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
        else
            room -= 2 * GetSystemMetrics(SM_CXEDGE) + 4;
        EXPECT_LE(TextExtent(control, text, 0).cx, room) << "control " << id << " \"" << Narrow(text) << "\"";
    } else if (lstrcmpiW(className, L"Static") == 0) {
        EXPECT_LE(TextExtent(control, text, rect.right).cy, rect.bottom)
            << "control " << id << " \"" << Narrow(text) << "\"";
        EXPECT_LE(TextExtent(control, text, rect.right).cx, rect.right) << "control " << id;
    }
    return TRUE;
}

void ExpectTextsFit(const std::function<INT_PTR()>& open, int closeId) {
    RunDialog(open, [closeId](HWND dialog) {
        EnumChildWindows(dialog, CheckFit, 0);
        Click(dialog, closeId);
    });
}

TEST(DialogTextFitTest, Options) {
    TempFolder folder;
    SettingsFile settings(JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell");
    DSetParam dialog(settings, true, kElevationDefault);
    ExpectTextsFit([&] { return dialog.Run(nullptr); }, 1430);
}

TEST(DialogTextFitTest, Hold) {
    DSetHold dialog(L' ', kElevationDefault);
    ExpectTextsFit([&] { return dialog.Run(nullptr); }, 1505);
}

TEST(DialogTextFitTest, ScheduleList) {
    TempFolder folder;
    StringList lines;
    lines.append(WString(L"  EveryDay 07:00:00 Msg    おはよう"));
    ASSERT_TRUE(lines.save(JoinPath(folder.path(), L"Zavbell.txt")));
    SettingsFile settings(JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell");
    DSelSchedule dialog(L"set", StartInfo{}, JoinPath(folder.path(), L"Zavbell.txt"), settings);
    ExpectTextsFit([&] { return dialog.Run(nullptr); }, 1109);
}

// The edit dialog in each of its layouts, with the longest texts its
// controls take at run time (hold labels, "(？)", "分毎", parameter labels).
TEST(DialogTextFitTest, ScheduleEditorInEachLayout) {
    TempFolder folder;
    CurrentDirectoryScope inFolder(folder.path());
    const wchar_t* const lines[] = {
        L"# SMTWTFS  07:00:00 Screen (なし)",
        L"! 26/02/30 every15m Kabe   (なし)",
        L"X lastwe-2 Start    Mplay  a.wav",
        L"  **/**E-3 **:**:00 Exit   a",
    };
    for (const wchar_t* line : lines) {
        DSetAlarm dialog(kOs10, FALSE, kElevationDefault, line);
        ExpectTextsFit([&] { return dialog.Run(nullptr); }, 1307);
    }
}

}  // namespace
