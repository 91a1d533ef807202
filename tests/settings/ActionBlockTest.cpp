// The action block of the schedule edit and timer dialogs, in test templates
// with its controls (same ids and styles), with and without 1222: the state
// table of the nine actions, every row of the parameter check, the code-page
// warning, and the parameter dialogs and screensaver choice it opens.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Paths.h"
#include "common/System.h"
#include "settings/ActionBlock.h"
#include "settings/ModalDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/ActionBlockTest.h"
#include "tests/settings/DialogHarness.h"

namespace {

// A dialog that holds only the block, wired as the edit and timer dialogs
// wire it. action -1 checks no radio button.
template <int Template>
class BlockHost : public ModalDialog<BlockHost<Template>, CSetAlmTmr> {
public:
    BlockHost(int action, const WString& parameter, BOOL wow64, bool atStart = false)
        : ModalDialog<BlockHost<Template>, CSetAlmTmr>(kElevationDefault, 0, kOs10, wow64, kElevationDefault),
          action_(action),
          parameter_(parameter),
          atStart_(atStart) {}
    bool Run() { return this->RunModal(nullptr); }

    static const DialogTables<BlockHost> kTables;

private:
    INT_PTR OnInit() {
        SetDlgItemTextW(this->window, IDC_PARAM_EDIT, parameter_.text());
        this->CheckRadio(IDC_ACTION_GROUP, kActionCount, action_);
        if (atStart_) CheckDlgButton(this->window, IDC_AT_START, BST_CHECKED);
        this->InitActionTips();
        this->UpdateActionGroup();
        return TRUE;
    }
    void OnOk() {
        if (this->CheckParameter()) this->EndWith(1);
    }
    void OnCancel() { this->EndWith(0); }

    static const CommandEntry<BlockHost> kCommands[];
    int action_;
    WString parameter_;
    bool atStart_;
};

template <int Template>
// clang-format off
const CommandEntry<BlockHost<Template>> BlockHost<Template>::kCommands[] = {
    {IDOK, BN_CLICKED, &BlockHost::OnOk},
    {IDCANCEL, BN_CLICKED, &BlockHost::OnCancel},
};
// clang-format on

template <int Template>
const DialogTables<BlockHost<Template>> BlockHost<Template>::kTables = {
    Template, &BlockHost::OnInit, BlockHost::kCommands, {}, {}, {}, {}, 0};

using EditHost = BlockHost<IDD_BLOCK_WITH_START>;
using TimerHost = BlockHost<IDD_BLOCK_TIMER>;

class ActionBlockTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // Zavbell.ini of the opened dialogs goes here
};

// ---- The state table ----

struct StateRow {
    const wchar_t* label;
    bool writable, none, show, edit;
};
const StateRow kStates[kActionCount] = {
    {L"動作のパラメータ（メッセージ）", true, false, true, false},
    {L"動作のパラメータ（音声・画像ファイル名等）", false, false, true, true},
    {L"動作のパラメータ（メッセージ）", true, false, true, false},
    {L"動作のパラメータ（メッセージ）", true, false, true, false},
    {L"動作のパラメータ（スクリーンセーバファイル名）", false, true, true, true},
    {L"動作のパラメータ（メッセージ）", true, false, true, false},
    {L"動作のパラメータ（表示状態と壁紙ファイル名）", false, true, true, true},
    {L"動作のパラメータ（ＤＯＳコマンド）", false, false, true, true},
    {L"動作のパラメータ（停止・リブートパラメータ）", false, false, false, true},
};

TEST_F(ActionBlockTest, StatesOfAllNineActionsAndTheParameterKept) {
    BoxRecorder boxes;
    EditHost host(0, L"hello", FALSE);
    RunDialog([&] { return host.Run(); },
              [](HWND dialog) {
                  for (int action = 0; action < kActionCount; ++action) {
                      SetChecked(dialog, 1251 + action, true);
                      const StateRow& row = kStates[action];
                      EXPECT_EQ(Narrow(row.label), ItemTextUtf8(dialog, IDC_PARAM_LABEL)) << "action " << action;
                      EXPECT_EQ(!row.writable, ReadOnly(dialog, IDC_PARAM_EDIT)) << "action " << action;
                      EXPECT_EQ(row.none, Enabled(dialog, IDC_PARAM_NONE)) << "action " << action;
                      EXPECT_EQ(row.show, Enabled(dialog, IDC_PARAM_SHOW)) << "action " << action;
                      EXPECT_EQ(row.edit, Enabled(dialog, IDC_PARAM_EDIT_BUTTON)) << "action " << action;
                      EXPECT_EQ("hello", ItemTextUtf8(dialog, IDC_PARAM_EDIT)) << "switching keeps the parameter";
                  }
                  Click(dialog, IDCANCEL);
              });
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ActionBlockTest, UnknownActionEndsTheDialogWithZero) {
    BoxRecorder boxes;
    EditHost host(-1, L"x", FALSE);
    EXPECT_FALSE(host.Run());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"不正な動作"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ActionBlockTest, TipsNoneAndShow) {
    BoxRecorder boxes;
    TimerHost host(kActScreen, L"C:\\a.scr", FALSE);
    RunDialog([&] { return host.Run(); },
              [](HWND dialog) {
                  std::vector<DialogTip> tips = DialogTips(dialog);
                  EXPECT_EQ(12u, tips.size());
                  for (const DialogTip& tip : tips) {
                      if (tip.controlId == 1255) {
                          EXPECT_EQ(Narrow(L"指定したスクリーンセーバーを即時実行します"), Narrow(tip.text));
                      }
                      if (tip.controlId == IDC_PARAM_EDIT) {
                          EXPECT_EQ(Narrow(L"動作のパラメータが表示されます"), Narrow(tip.text));
                      }
                      EXPECT_NE(IDC_PARAM_NONE, tip.controlId) << "1263 has no tip";
                  }
                  TypeText(dialog, IDC_PARAM_EDIT, L"C:\\b.scr");
                  for (const DialogTip& tip : DialogTips(dialog))
                      if (tip.controlId == IDC_PARAM_EDIT) {
                          EXPECT_EQ("C:\\b.scr", Narrow(tip.text)) << "the tip follows the text";
                      }
                  Click(dialog, IDC_PARAM_SHOW);
                  Click(dialog, IDC_PARAM_NONE);
                  EXPECT_EQ(Narrow(L"(なし)"), ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                  Click(dialog, IDCANCEL);
              });
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ("C:\\b.scr", Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION | kBoxBase), boxes.boxes()[0].style);
}

// ---- The parameter check ----

struct CheckRow {
    int action;
    const wchar_t* parameter;
    bool atStart;
    bool timer;              // the timer template, without 1222
    const wchar_t* refusal;  // null: accepted
};
// clang-format off
const CheckRow kChecks[] = {
    {kActMsg, L"", false, false, L"メッセージが入力されていません"},
    {kActMsg, L"hello", false, false, nullptr},
    {kActNotice, L"", false, false, L"メッセージが入力されていません"},
    {kActNotice, L"n", false, false, nullptr},
    {kActBlink, L"", false, false, L"メッセージが入力されていません"},
    {kActBlink, L"b", false, false, nullptr},
    {kAct3DText, L"", false, false, L"メッセージが入力されていません"},
    {kAct3DText, L"3d", false, false, nullptr},
    {kActMplay, L"Repeat Vol:50% C:\\a.wav", false, false, nullptr},
    {kActMplay, L"a.wav", false, false, L"ファイル名が入力されていません"},
    {kActMplay, L"\\\\server\\a.wav", false, false, L"ファイル名が入力されていません"},
    {kActScreen, L"(なし)", false, false, nullptr},
    {kActScreen, L"C:\\Windows\\System32\\Mystify.SCR", false, false, nullptr},
    {kActScreen, L"\"C:\\a b\\x.scr\"", false, false, nullptr},
    {kActScreen, L"C:\\a.exe", false, false, L"スクリーンセーバーファイル名を入力して下さい"},
    {kActScreen, L"hello", false, false, L"スクリーンセーバーファイル名を入力して下さい"},
    {kActKabe, L"Center C:\\pic.jpg", false, false, nullptr},
    {kActKabe, L"Span C:\\pic.jpg", false, false, nullptr},
    {kActKabe, L"(なし)", false, false, nullptr},
    {kActKabe, L"center C:\\pic.jpg", false, false, L"正しい壁紙ファイル名を入力して下さい"},
    {kActKabe, L"CenterC:\\pic.jpg", false, false, L"正しい壁紙ファイル名を入力して下さい"},
    {kActShell, L"", false, false, L"ＤＯＳコマンドが入力されていません"},
    {kActShell, L"cmd", false, false, nullptr},
    {kActExit, L"", false, false, L"終了パラメータが入力されていません"},
    {kActExit, L"止める", false, false, L"Windows 終了パラメータエラー"},
    {kActExit, L"再起動 待機時間 =x秒", false, false, L"待機時間指定エラー"},
    {kActExit, L"再起動 待機時間 =-5秒", false, false, L"待機時間指定エラー"},
    {kActExit, L"再起動 待機時間 =500秒", false, false, nullptr},   // no upper limit here
    {kActExit, L"通常の終了", true, false, L"起動時にパソコンの停止・リブートを指定しています"},
    {kActExit, L"通常の終了", false, false, nullptr},
    {kActExit, L"通常の終了", false, true, nullptr},
};
// clang-format on

template <typename Host>
bool RunCheck(const CheckRow& row, bool* stayedOpen, std::string* kept, HWND* seen = nullptr, int* focus = nullptr) {
    Host host(row.action, row.parameter, FALSE, row.atStart);
    return RunDialog([&] { return host.Run(); },
                     [&](HWND dialog) {
                         if (seen != nullptr) *seen = dialog;
                         Click(dialog, IDOK);
                         *stayedOpen = FindOpenDialog() == dialog;
                         *kept = ItemTextUtf8(dialog, IDC_PARAM_EDIT);
                         if (focus != nullptr) *focus = GetDlgCtrlID(GetFocus());
                         if (*stayedOpen) Click(dialog, IDCANCEL);
                     });
}

TEST_F(ActionBlockTest, EveryCheckRowPassesOrFailsWithItsMessage) {
    for (const CheckRow& row : kChecks) {
        BoxRecorder boxes;
        bool stayedOpen = false;
        std::string kept;
        HWND dialog = nullptr;
        int focus = 0;
        bool accepted = row.timer ? RunCheck<TimerHost>(row, &stayedOpen, &kept, &dialog, &focus)
                                  : RunCheck<EditHost>(row, &stayedOpen, &kept, &dialog, &focus);
        std::string what = "action " + std::to_string(row.action) + " \"" + Narrow(row.parameter) + "\"";
        if (row.refusal == nullptr) {
            EXPECT_TRUE(accepted) << what;
            EXPECT_TRUE(boxes.boxes().empty()) << what << ": " << Narrow(boxes.boxes()[0].text);
            continue;
        }
        EXPECT_FALSE(accepted) << what;
        EXPECT_TRUE(stayedOpen) << what;
        EXPECT_EQ(Narrow(row.parameter), kept) << what << ": the input is kept";
        ASSERT_EQ(1u, boxes.boxes().size()) << what;
        EXPECT_EQ(Narrow(row.refusal), Narrow(boxes.boxes()[0].text)) << what;
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR | kBoxBase), boxes.boxes()[0].style) << what;
        EXPECT_EQ(dialog, boxes.boxes()[0].owner) << what << ": the dialog owns the box";
        EXPECT_EQ(row.atStart ? IDC_AT_START : IDC_PARAM_EDIT, focus) << what << ": the focus is on the field";
    }
}

TEST_F(ActionBlockTest, NoActionChosenOnOk) {
    BoxRecorder boxes;
    EditHost host(kActMsg, L"x", FALSE);
    RunDialog([&] { return host.Run(); },
              [](HWND dialog) {
                  CheckDlgButton(dialog, 1251, BST_UNCHECKED);
                  Click(dialog, IDOK);
                  EXPECT_EQ(dialog, FindOpenDialog());
                  Click(dialog, IDCANCEL);
              });
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"動作を選択して下さい"), Narrow(boxes.boxes()[0].text));
}

// ---- Characters the ANSI code page lacks ----

TEST(CharactersLostInAnsiTest, Table) {
    const struct {
        const wchar_t* text;
        const wchar_t* lost;
    } cases[] = {
        {L"", L""},
        {L"日本語のメッセージ ABC 123", L""},
        {L"café", L"é"},       // best fit would save "e"
        {L"😀 smile 😀", L"😀"},  // one character of two code units, once
        {L"한글 test 한", L"한글"},
        {L"aé😀é한", L"é😀한"},
    };
    for (const auto& c : cases) EXPECT_EQ(Narrow(c.lost), Narrow(CharactersLostInAnsi(c.text))) << Narrow(c.text);
}

TEST_F(ActionBlockTest, CodePageWarningYesAcceptsNoKeepsTheDialog) {
    for (const wchar_t* text : {L"😀", L"é", L"한글"}) {
        for (int answer : {IDYES, IDNO}) {
            BoxRecorder boxes(answer);
            bool stayedOpen = false;
            std::string kept;
            CheckRow row{kActMsg, text, false, false, nullptr};
            bool accepted = RunCheck<EditHost>(row, &stayedOpen, &kept);
            EXPECT_EQ(answer == IDYES, accepted) << Narrow(text);
            EXPECT_EQ(answer == IDNO, stayedOpen) << Narrow(text);
            ASSERT_EQ(1u, boxes.boxes().size());
            EXPECT_EQ(Narrow(WString(L"次の文字は Zavbell.txt に保存すると「?」などに変わります：") + text +
                             L"\nこのまま設定しますか？"),
                      Narrow(boxes.boxes()[0].text));
            EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION | kBoxBase), boxes.boxes()[0].style);
            if (answer == IDNO) {
                EXPECT_EQ(Narrow(text), kept);
            }
        }
    }
}

// A schedule an editor saved in UTF-8 is written back in UTF-8: nothing to warn of.
TEST_F(ActionBlockTest, NoCodePageWarningForAUtfEightSchedule) {
    ASSERT_TRUE(WriteBytes(JoinPath(folder.path(), L"Zavbell.txt"), "X _______  01:00:00 Msg    \xE6\x9C\x9D\r\n"));
    BoxRecorder boxes;
    bool stayedOpen = true;
    std::string kept;
    CheckRow row{kActMsg, L"😀 é", false, false, nullptr};
    EXPECT_TRUE(RunCheck<EditHost>(row, &stayedOpen, &kept));
    EXPECT_TRUE(boxes.boxes().empty());
}

// ---- The parameter dialogs the block opens ----

TEST_F(ActionBlockTest, EditOpensTheCommandDialogAndTakesItsResult) {
    BoxRecorder boxes;
    TimerHost host(kActShell, L"cmd", FALSE);
    RunDialog([&] { return host.Run(); }, {
                                              [](HWND dialog) { PostClick(dialog, IDC_PARAM_EDIT_BUTTON); },
                                              [](HWND command) {
                                                  EXPECT_EQ("cmd", ItemTextUtf8(command, IDC_CMD_EDIT));
                                                  SetChecked(command, IDC_CMD_MINIMISED, true);
                                                  Click(command, IDC_CMD_OK);
                                              },
                                              [](HWND dialog) {
                                                  EXPECT_EQ("Icon cmd", ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                                                  Click(dialog, IDCANCEL);
                                              },
                                          });
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ActionBlockTest, CancelledParameterDialogsLeaveTheParameter) {
    BoxRecorder boxes;
    for (int action : {kActMplay, kActExit, kActKabe}) {
        TimerHost host(action, L"unchanged", FALSE);
        RunDialog([&] { return host.Run(); },
                  {
                      [](HWND dialog) { PostClick(dialog, IDC_PARAM_EDIT_BUTTON); },
                      [](HWND parameterDialog) { PostMessageW(parameterDialog, WM_CLOSE, 0, 0); },
                      [action](HWND dialog) {
                          EXPECT_EQ("unchanged", ItemTextUtf8(dialog, IDC_PARAM_EDIT)) << "action " << action;
                          Click(dialog, IDCANCEL);
                      },
                  });
    }
}

TEST_F(ActionBlockTest, EditWithAMessageActionAsksForTheAction) {
    BoxRecorder boxes;
    TimerHost host(kActMsg, L"m", FALSE);
    RunDialog([&] { return host.Run(); },
              [](HWND dialog) {
                  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PARAM_EDIT_BUTTON, BN_CLICKED), 0);
                  Click(dialog, IDCANCEL);
              });
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"動作を指定してください"), Narrow(boxes.boxes()[0].text));
}

// ---- Choosing a screensaver ----

// A copy of this test program named *.scr: it carries string 1, the display
// name a screensaver has.
WString MakeScreensaver(const WString& folder) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    WString saver = JoinPath(folder, L"テスト saver.scr");
    EXPECT_TRUE(CopyFileW(self, saver.text(), FALSE));
    return saver;
}

TEST_F(ActionBlockTest, ScreensaverInProcessShowsItsName) {
    BoxRecorder boxes;
    WString saver = MakeScreensaver(folder.path());
    TimerHost host(kActScreen, L"", FALSE);
    RunDialog([&] { return host.Run(); }, {
                                              [](HWND dialog) { PostClick(dialog, IDC_PARAM_EDIT_BUTTON); },
                                              [&](HWND picker) {
                                                  EXPECT_EQ(Narrow(L"スクリーンセーバーの指定"),
                                                            Narrow(WindowText(picker)));
                                                  AnswerFilePicker(picker, saver.text());
                                              },
                                              [&](HWND dialog) {
                                                  EXPECT_EQ(Narrow(saver), ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                                                  Click(dialog, IDOK);
                                              },
                                          });
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"スクリーンセーバー名\nテストセーバー"), Narrow(boxes.boxes()[0].text));
}

WString FakeHelper() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return JoinPath(DirectoryOf(self), L"fake_helper.exe");
}

std::wstring ReadWide(const WString& path) {
    std::string bytes = ReadBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

// On 64-bit Windows (and under Wine, where a 32-bit program always runs on
// WOW64) the helper picks the file.
TEST_F(ActionBlockTest, ScreensaverThroughTheHelperAndTooLongAParameter) {
    BoxRecorder boxes;
    WString saver = MakeScreensaver(folder.path());
    WString log = JoinPath(folder.path(), L"helper.log");
    SetEnvironmentVariableW(L"FAKE_HELPER_LOG", log.text());
    SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", saver.text());
    // A parameter of 1040 units or more does not fit the buffer: the choice
    // starts from the system folder, not from a cut name.
    std::wstring tooLong = L"C:\\" + std::wstring(1040, L'a') + L".scr";
    TimerHost host(kActScreen, tooLong.c_str(), TRUE);
    host.helperProgram = FakeHelper();
    RunDialog([&] { return host.Run(); },
              [&](HWND dialog) {
                  Click(dialog, IDC_PARAM_EDIT_BUTTON);
                  EXPECT_EQ(Narrow(saver), ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                  Click(dialog, IDCANCEL);
              });
    SetEnvironmentVariableW(L"FAKE_HELPER_LOG", nullptr);
    SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", nullptr);
    std::wstring seen = ReadWide(log);
    std::wstring initial = JoinPath(SpecialFolderPath(0x25 /* CSIDL_SYSTEM */), L"*.scr").text();
    EXPECT_NE(std::wstring::npos,
              seen.find(L"|4109|1|1040|スクリーンセーバーの指定|スクリーンセーバー(*.scr)\n*.scr\n\n|"))
        << Narrow(seen);
    EXPECT_NE(std::wstring::npos, seen.find(L"|" + initial + L"|disabled")) << Narrow(seen);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"スクリーンセーバー名\nテストセーバー"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ActionBlockTest, ScreensaverHelperCancelledChangesNothing) {
    BoxRecorder boxes;
    SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", nullptr);
    TimerHost host(kActScreen, L"C:\\old.scr", TRUE);
    host.helperProgram = FakeHelper();
    RunDialog([&] { return host.Run(); },
              [&](HWND dialog) {
                  Click(dialog, IDC_PARAM_EDIT_BUTTON);
                  EXPECT_EQ("C:\\old.scr", ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                  Click(dialog, IDCANCEL);
              });
    EXPECT_TRUE(boxes.boxes().empty());
}

// ---- The base the edit and timer dialogs share ----

TEST(SetAlmTmrTest, ConstructorBuildsPathsFromTheCurrentDirectory) {
    TempFolder folder;
    CurrentDirectoryScope scope(folder.path());
    CSetAlmTmr base(kOs10, TRUE, kElevationFull);
    EXPECT_EQ(kOs10, base.osLevel);
    EXPECT_TRUE(base.isWow64);
    EXPECT_EQ(kElevationFull, base.elevation);
    EXPECT_FALSE(base.isHeld);
    EXPECT_EQ(Narrow(JoinPath(folder.path(), L"Zavbell.txt")), Narrow(base.schedulePath));
    ASSERT_NE(nullptr, base.settings);
    EXPECT_EQ(Narrow(JoinPath(folder.path(), L"Zavbell.ini")), Narrow(base.settings->path()));
    EXPECT_EQ(Narrow(L"Zavbell"), Narrow(base.settings->section()));
}

}  // namespace
