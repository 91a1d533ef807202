// The screensaver choice of the action block (button 1265 with Screen):
// the chosen file goes into 1261 and its display name, string 1 of the
// file, is shown as "スクリーンセーバー名" and the name on the next line.
// The screensavers are resource-only DLLs named *.scr (saver_*.rc); on
// WOW64 the real Quillon64.exe picks the file.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Paths.h"
#include "common/System.h"
#include "settings/ActionBlock.h"
#include "settings/ModalDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/ActionBlockTest.h"
#include "tests/settings/DialogHarness.h"
#include "tests/settings/RealHelper.h"

namespace {

// The action block alone (the timer dialog's template of ActionBlockTest.rc)
// with Screen chosen, wired as the edit and timer dialogs wire 1265.
class ChoiceHost : public ModalDialog<ChoiceHost, CSetAlmTmr> {
public:
    explicit ChoiceHost(BOOL wow64) : ModalDialog(kElevationDefault, 0, kOs10, wow64, kElevationDefault) {}
    bool Run() { return RunModal(nullptr); }

    static const DialogTables<ChoiceHost> kTables;

private:
    friend class ModalDialog<ChoiceHost, CSetAlmTmr>;
    INT_PTR OnInit() {
        CheckRadio(IDC_ACTION_GROUP, kActionCount, kActScreen);
        UpdateActionGroup();
        return TRUE;
    }
    void OnCancel() { EndWith(0); }

    static const CommandEntry<ChoiceHost> kCommands[];
};

const CommandEntry<ChoiceHost> ChoiceHost::kCommands[] = {
    {IDC_PARAM_EDIT_BUTTON, BN_CLICKED, &CSetAlmTmr::EditParameter},
    {IDCANCEL, BN_CLICKED, &ChoiceHost::OnCancel},
};

const DialogTables<ChoiceHost> ChoiceHost::kTables = {
    IDD_BLOCK_TIMER, &ChoiceHost::OnInit, ChoiceHost::kCommands, {}, {}, {}, {}, 0};

// A screensaver built beside the test program, copied into folder under a
// name with a blank and Japanese (as a path the user may pick).
WString CopySaver(const wchar_t* built, const WString& folder) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    WString copy = JoinPath(folder, (WString(L"テスト ") + built).text());
    EXPECT_TRUE(CopyFileW(JoinPath(DirectoryOf(self), built).text(), copy.text(), FALSE)) << Narrow(built);
    return copy;
}

class ScreensaverChoiceTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // Zavbell.ini of the dialog goes here
    BoxRecorder boxes;
};

// The name a screensaver shows is string 1, read into 260 units: at most 259
// characters; a file without string 1 shows no box.
TEST_F(ScreensaverChoiceTest, TheChosenFileAndItsNameAreShown) {
    const std::wstring longName = [] {
        std::wstring name;
        for (int i = 0; i < 30; ++i) name += L"一二三四五六七八九十";
        return name;
    }();
    const struct {
        const wchar_t* saver;
        std::wstring name;  // empty: no box
    } cases[] = {
        {L"saver_named.scr", L"テスト用スクリーンセーバー"},
        {L"saver_long.scr", longName.substr(0, 259)},
        {L"saver_nameless.scr", L""},
    };
    for (const auto& c : cases) {
        WString saver = CopySaver(c.saver, folder.path());
        size_t before = boxes.boxes().size();
        ChoiceHost host(FALSE);
        RunDialog([&] { return host.Run(); }, {
                                                  [](HWND dialog) { PostClick(dialog, IDC_PARAM_EDIT_BUTTON); },
                                                  [&](HWND picker) { AnswerFilePicker(picker, saver.text()); },
                                                  [&](HWND dialog) {
                                                      EXPECT_EQ(Narrow(saver), ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                                                      Click(dialog, IDCANCEL);
                                                  },
                                              });
        if (c.name.empty()) {
            EXPECT_EQ(before, boxes.boxes().size()) << Narrow(c.saver);
            continue;
        }
        ASSERT_EQ(before + 1, boxes.boxes().size()) << Narrow(c.saver);
        const std::wstring& shown = boxes.boxes().back().text;
        const std::wstring expected = L"スクリーンセーバー名\n" + c.name;
        EXPECT_EQ(expected.size(), shown.size()) << Narrow(c.saver);
        EXPECT_TRUE(expected == shown) << Narrow(shown);
        EXPECT_EQ(Narrow(L"Orrivane"), Narrow(boxes.boxes().back().caption));
    }
}

// Under Wine a 32-bit program always runs on WOW64: the choice goes through
// the Quillon64.exe beside the program, as ZAVSet's does.
TEST_F(ScreensaverChoiceTest, ThroughTheRealHelperTheChosenScreensaverAndItsNameAreShown) {
    HelperBesideTest helper;
    ASSERT_TRUE(helper.ok());
    WString saver = CopySaver(L"saver_named.scr", folder.path());
    std::wstring ownerTitle, pickerTitle, initialName, folderShown;
    bool ownerEnabled = true;
    HWND owner = nullptr;
    ChoiceHost host(TRUE);
    RunDialog([&] { return host.Run(); },
              [&](HWND dialog) {
                  owner = dialog;
                  HelperPickerWatch watch([&](HWND picker) {
                      ownerTitle = WindowText(dialog);
                      ownerEnabled = IsWindowEnabled(dialog) != FALSE;
                      pickerTitle = WindowText(picker);
                      initialName = ControlText(picker, kPickerFileNameBox);
                      HWND lookIn = GetDlgItem(picker, cmb2);
                      folderShown = ComboEntry(lookIn, static_cast<int>(SendMessageW(lookIn, CB_GETCURSEL, 0, 0)));
                      AnswerHelperPicker(picker, saver.text());
                  });
                  Click(dialog, IDC_PARAM_EDIT_BUTTON);
                  EXPECT_TRUE(watch.answered());
                  EXPECT_EQ(Narrow(saver), ItemTextUtf8(dialog, IDC_PARAM_EDIT));
                  EXPECT_TRUE(IsWindowEnabled(dialog));
                  Click(dialog, IDCANCEL);
              });
    EXPECT_EQ(Narrow(L"<ファイル指定中>"), Narrow(ownerTitle));
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(Narrow(L"スクリーンセーバーの指定"), Narrow(pickerTitle));
    // An empty parameter starts the choice on the system folder's *.scr: the
    // picker shows the folder in its "look in" list (Wine's keeps the names
    // as strings) and the pattern as the file name.
    EXPECT_EQ(Narrow(FileNameOf(SpecialFolderPath(0x25 /* CSIDL_SYSTEM */))), Narrow(folderShown));
    EXPECT_EQ("*.scr", Narrow(initialName));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"スクリーンセーバー名\nテスト用スクリーンセーバー"), Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(owner, boxes.boxes()[0].owner);
}

}  // namespace
