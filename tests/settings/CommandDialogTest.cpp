// The command input dialog (9200) from ZAVSet's own template, driven through
// the dialog harness: the "Icon " form, OK/Cancel/title bar, file names by
// drop, browse and paste, and the remembered place.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "settings/CommandDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

class CommandDialogTest : public testing::Test {
protected:
    TempFolder folder;
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};
    BoxRecorder boxes;

    // Runs the dialog with the parameter; returns Run's answer and leaves the
    // parameter it gives back in `result`.
    bool Run(const wchar_t* parameter, std::vector<DialogStep> steps, int elevation = kElevationDefault) {
        DCommand dialog(parameter, IDI_SETTINGS, settings, elevation);
        bool accepted = false;
        RunDialog(
            [&] {
                accepted = dialog.Run(nullptr);
                return 0;
            },
            std::move(steps));
        result = dialog.parameter();
        return accepted;
    }
    WString result;

    WString MakeFile(const wchar_t* name) {
        WString path = JoinPath(folder.path(), name);
        EXPECT_TRUE(CreateEmptyFile(path)) << Narrow(path);
        return path;
    }
};

void Drop(HWND dialog, const std::wstring& file) {
    SendDlgItemMessageW(dialog, IDC_CMD_EDIT, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({file})), 0);
}

void PutCaret(HWND dialog, int at) {
    SendDlgItemMessageW(dialog, IDC_CMD_EDIT, EM_SETSEL, at, at);
}

TEST_F(CommandDialogTest, IconFormRoundTripAndPlaceWrittenOnOk) {
    RECT place{};
    bool accepted =
        Run(L"Icon notepad.exe C:\\a b\\x.txt", {[&](HWND dialog) {
                EXPECT_EQ("notepad.exe C:\\a b\\x.txt", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                EXPECT_TRUE(Checked(dialog, IDC_CMD_MINIMISED));
                EXPECT_EQ(Narrow(ElevatedTitle(L"DOSコマンドの入力", kElevationDefault)), Narrow(WindowText(dialog)));
                GetWindowRect(dialog, &place);
                Click(dialog, IDC_CMD_OK);
            }});
    EXPECT_TRUE(accepted);
    EXPECT_EQ("Icon notepad.exe C:\\a b\\x.txt", Narrow(result));
    EXPECT_EQ(place.left, settings.ReadInt(L"SetCmdLeft", INT_MIN));
    EXPECT_EQ(place.top, settings.ReadInt(L"SetCmdTop", INT_MIN));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(CommandDialogTest, IconWithoutItsBlankIsPartOfTheCommand) {
    EXPECT_TRUE(Run(L"Iconview.exe", {[](HWND dialog) {
                        EXPECT_EQ("Iconview.exe", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        EXPECT_FALSE(Checked(dialog, IDC_CMD_MINIMISED));
                        SetChecked(dialog, IDC_CMD_MINIMISED, true);
                        Click(dialog, IDC_CMD_OK);
                    }}));
    EXPECT_EQ("Icon Iconview.exe", Narrow(result));
}

TEST_F(CommandDialogTest, EmptyCommandIsRefusedAndTheDialogStaysWithFocusOnTheField) {
    bool stillOpen = false;
    bool focusOnEdit = false;
    bool accepted = Run(L"Icon calc.exe", {[&](HWND dialog) {
                            Click(dialog, IDC_CMD_CLEAR);
                            EXPECT_EQ("", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                            SetFocus(GetDlgItem(dialog, IDC_CMD_OK));
                            Click(dialog, IDC_CMD_OK);
                            stillOpen = IsWindowVisible(dialog) != FALSE;
                            focusOnEdit = GetFocus() == GetDlgItem(dialog, IDC_CMD_EDIT);
                            Click(dialog, IDC_CMD_CANCEL);
                        }});
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focusOnEdit);
    EXPECT_EQ("Icon calc.exe", Narrow(result)) << "the parameter changes only on OK";
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"コマンドが入力されていません"), Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR | kBoxBase), boxes.boxes()[0].style);
    EXPECT_EQ(INT_MIN, settings.ReadInt(L"SetCmdLeft", INT_MIN)) << "no place written on a refused OK";
}

TEST_F(CommandDialogTest, TitleBarCloseAnswersTrueWithTheParameterUnchanged) {
    EXPECT_TRUE(Run(L"cmd /c dir", {[](HWND dialog) {
                        TypeText(dialog, IDC_CMD_EDIT, L"something else");
                        PostMessageW(dialog, WM_CLOSE, 0, 0);
                    }}));
    EXPECT_EQ("cmd /c dir", Narrow(result));
}

TEST_F(CommandDialogTest, DroppedFilesAreQuotedAppendedOrReplaceTheSelection) {
    WString spaced = MakeFile(L"my tool.exe");
    WString plain = MakeFile(L"data.txt");
    EXPECT_TRUE(Run(L"", {[&](HWND dialog) {
                        Drop(dialog, spaced.text());
                        std::string quoted = "\"" + Narrow(spaced) + "\"";
                        EXPECT_EQ(quoted, ItemTextUtf8(dialog, IDC_CMD_EDIT)) << "a path with a blank is quoted";
                        // The caret is at the end after the insertion: the next drop appends.
                        Drop(dialog, plain.text());
                        EXPECT_EQ(quoted + " " + Narrow(plain), ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        // A selection in the middle is replaced, with no blank added.
                        TypeText(dialog, IDC_CMD_EDIT, L"copy XX Y");
                        SendDlgItemMessageW(dialog, IDC_CMD_EDIT, EM_SETSEL, 5, 7);
                        Drop(dialog, plain.text());
                        EXPECT_EQ("copy " + Narrow(plain) + " Y", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        // Right after a blank at the end: inserted there, no second blank.
                        TypeText(dialog, IDC_CMD_EDIT, L"type ");
                        PutCaret(dialog, 5);
                        Drop(dialog, plain.text());
                        EXPECT_EQ("type " + Narrow(plain), ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        // Of several dropped files only the first counts.
                        TypeText(dialog, IDC_CMD_EDIT, L"");
                        SendDlgItemMessageW(dialog, IDC_CMD_EDIT, WM_DROPFILES,
                                            reinterpret_cast<WPARAM>(MakeDrop({plain.text(), spaced.text()})), 0);
                        EXPECT_EQ(Narrow(plain), ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        Click(dialog, IDC_CMD_OK);
                    }}));
    EXPECT_EQ(Narrow(plain), Narrow(result));
}

// The dropped name is read into a buffer of the size DragQueryFileW gives,
// not MAX_PATH: a long path arrives whole.
TEST_F(CommandDialogTest, LongDroppedNameArrivesWhole) {
    std::wstring longPath = L"C:\\" + std::wstring(300, L'd') + L"\\tool.exe";
    EXPECT_TRUE(Run(L"", {[&](HWND dialog) {
                        Drop(dialog, longPath);
                        EXPECT_EQ(Narrow(longPath), ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        Click(dialog, IDC_CMD_OK);
                    }}));
    EXPECT_EQ(longPath.size(), static_cast<size_t>(result.length()));
}

TEST_F(CommandDialogTest, ShortNamesAreInsertedUnquoted) {
    WString spaced = MakeFile(L"long program name.exe");
    // The oracle: the system's own short form of the file.
    wchar_t shortForm[MAX_PATH] = L"";
    ASSERT_NE(0u, GetShortPathNameW(spaced.text(), shortForm, MAX_PATH));
    EXPECT_TRUE(Run(L"", {[&](HWND dialog) {
                        SetChecked(dialog, IDC_CMD_SHORT_NAMES, true);
                        Drop(dialog, spaced.text());
                        std::string expected = Narrow(shortForm);
                        // Without a short form (a volume that keeps none) the long path comes
                        // back; it is then quoted, since a blank would split the command.
                        if (expected.find(' ') != std::string::npos) expected = "\"" + expected + "\"";
                        EXPECT_EQ(expected, ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        Click(dialog, IDC_CMD_OK);
                    }}));
    EXPECT_EQ(std::string::npos, Narrow(result).find("long program name")) << Narrow(result);
}

TEST_F(CommandDialogTest, BrowseInsertsThePickedFileAtTheEnd) {
    WString picked = MakeFile(L"run me.bat");
    EXPECT_TRUE(Run(L"start", {
                                  [](HWND dialog) {
                                      // The dialog opens with the whole command selected; with the
                                      // caret at its end the picked file is appended.
                                      PutCaret(dialog, 5);
                                      PostClick(dialog, IDC_CMD_BROWSE);
                                  },
                                  [&](HWND picker) {
                                      EXPECT_EQ(Narrow(L"ファイル名の指定"), Narrow(WindowText(picker)));
                                      AnswerFilePicker(picker, picked.text());
                                  },
                                  [&](HWND dialog) {
                                      EXPECT_EQ("start \"" + Narrow(picked) + "\"", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                                      Click(dialog, IDC_CMD_OK);
                                  },
                              }));
    EXPECT_EQ("start \"" + Narrow(picked) + "\"", Narrow(result));
}

void SetClipboard(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t bytes = (lstrlenW(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

TEST_F(CommandDialogTest, PasteAddsOneBlankOnlyAfterAWord) {
    SetClipboard(L"/s /q");
    EXPECT_TRUE(Run(L"", {[](HWND dialog) {
                        SetFocus(GetDlgItem(dialog, IDC_CMD_EDIT));
                        Click(dialog, IDC_CMD_PASTE);
                        EXPECT_EQ("/s /q", ItemTextUtf8(dialog, IDC_CMD_EDIT)) << "no blank in an empty box";
                        TypeText(dialog, IDC_CMD_EDIT, L"rd x");
                        PutCaret(dialog, 4);
                        Click(dialog, IDC_CMD_PASTE);
                        EXPECT_EQ("rd x /s /q", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        TypeText(dialog, IDC_CMD_EDIT, L"rd ");
                        PutCaret(dialog, 3);
                        Click(dialog, IDC_CMD_PASTE);
                        EXPECT_EQ("rd /s /q", ItemTextUtf8(dialog, IDC_CMD_EDIT));
                        Click(dialog, IDC_CMD_OK);
                    }}));
    EXPECT_EQ("rd /s /q", Narrow(result));
}

TEST_F(CommandDialogTest, ElevatedHintTipFontAndColours) {
    EXPECT_FALSE(Run(
        L"x", {[](HWND dialog) {
            // Wine reports every token as elevated (code 3); the hint then warns
            // that drops from the shell may not arrive.
            EXPECT_EQ(Narrow(L"下の枠内にファイルのD＆D恐らく不可"), ItemTextUtf8(dialog, IDC_CMD_DROP_HINT));
            EXPECT_EQ(Narrow(L"DOSコマンドの入力(昇格中)"), Narrow(WindowText(dialog)));
            std::vector<DialogTip> tips = DialogTips(dialog);
            ASSERT_EQ(1u, tips.size());
            EXPECT_EQ(IDC_CMD_MINIMISED, tips[0].controlId);
            EXPECT_EQ(Narrow(L"サポートされているアプリケーションしか実行できません"), Narrow(tips[0].text));
            HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(dialog, IDC_CMD_HEADING, WM_GETFONT, 0, 0));
            LOGFONTW logFont{};
            GetObjectW(font, sizeof(logFont), &logFont);
            HDC dc = GetDC(dialog);
            EXPECT_EQ(-MulDiv(13, GetDeviceCaps(dc, LOGPIXELSY), 72), logFont.lfHeight);
            struct {
                int id;
                COLORREF colour;
            } cases[] = {{IDC_CMD_DROP_HINT, RGB(0, 0, 255)},
                         {IDC_CMD_NOTE1, RGB(0, 128, 0)},
                         {IDC_CMD_NOTE2, RGB(0, 128, 0)},
                         {IDC_CMD_HEADING, GetSysColor(COLOR_WINDOWTEXT)}};
            for (const auto& c : cases) {
                SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, c.id)));
                EXPECT_EQ(c.colour, GetTextColor(dc)) << "control " << c.id;
            }
            ReleaseDC(dialog, dc);
            EXPECT_NE(nullptr, reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)));
            Click(dialog, IDC_CMD_CANCEL);
        }},
        kElevationFull));
    EXPECT_EQ("x", Narrow(result));
}

TEST_F(CommandDialogTest, IconZeroMeansNoSmallIcon) {
    DCommand dialog(L"x", 0, settings, kElevationDefault);
    HICON icon = reinterpret_cast<HICON>(1);
    RunDialog([&] { return dialog.Run(nullptr) ? 1 : 0; },
              [&](HWND open) {
                  icon = reinterpret_cast<HICON>(SendMessageW(open, WM_GETICON, ICON_SMALL, 0));
                  Click(open, IDC_CMD_CANCEL);
              });
    EXPECT_EQ(nullptr, icon);
}

TEST_F(CommandDialogTest, NegativeStoredPlaceOnAMonitorIsRestored) {
    settings.WriteInt(L"SetCmdLeft", -5);
    settings.WriteInt(L"SetCmdTop", 12);
    RECT place{};
    Run(L"x", {[&](HWND dialog) {
            GetWindowRect(dialog, &place);
            Click(dialog, IDC_CMD_CANCEL);
        }});
    EXPECT_EQ(-5, place.left);
    EXPECT_EQ(12, place.top);
}

TEST_F(CommandDialogTest, LeftWithoutTopIsNotRestored) {
    settings.WriteInt(L"SetCmdLeft", 3);
    RECT place{};
    Run(L"x", {[&](HWND dialog) {
            GetWindowRect(dialog, &place);
            Click(dialog, IDC_CMD_CANCEL);
        }});
    EXPECT_NE(3, place.left) << "DS_CENTER places the dialog";
}

}  // namespace
