// The exit (9300), media (9400) and wallpaper (160) dialogs from ZAVSet's own
// templates, driven through the dialog harness; their parameter checks and
// pure helpers as tables.
#include <windows.h>
#include <commctrl.h>
#include <powrprof.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "settings/ExitDialog.h"
#include "settings/MediaDialog.h"
#include "settings/WallpaperDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

class ParameterDialogTest : public testing::Test {
protected:
    TempFolder folder;
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};

    WString MakeFile(const wchar_t* name) {
        WString path = JoinPath(folder.path(), name);
        EXPECT_TRUE(CreateEmptyFile(path)) << Narrow(path);
        return path;
    }
};

// ---- Exit ----

struct ExitRun {
    bool accepted;
    std::string parameter;
};

template <typename Step>
ExitRun RunExit(ParameterDialogTest* test, const wchar_t* parameter, bool held, Step step,
                const SettingsFile& settings) {
    (void)test;
    DExit dialog(parameter, held, IDI_SETTINGS, settings, kElevationDefault);
    bool accepted = false;
    RunDialog(
        [&] {
            accepted = dialog.Run(nullptr);
            return 0;
        },
        DialogStep(step));
    return {accepted, Narrow(dialog.parameter())};
}

TEST_F(ParameterDialogTest, ExitRoundTripWithHeldNoteTipsAndPlace) {
    BoxRecorder boxes;
    RECT place{};
    ExitRun run = RunExit(
        this, L"再起動 強制終了 待機時間 =30秒", true,
        [&](HWND dialog) {
            EXPECT_TRUE(Checked(dialog, IDC_EXIT_RESTART));
            EXPECT_TRUE(Checked(dialog, IDC_EXIT_FORCE));
            EXPECT_EQ("30", ItemTextUtf8(dialog, IDC_EXIT_WAIT));
            EXPECT_TRUE(Visible(dialog, IDC_EXIT_HELD));
            EXPECT_EQ(IsPwrSuspendAllowed() != FALSE, Enabled(dialog, IDC_EXIT_SLEEP));
            EXPECT_EQ(IsPwrHibernateAllowed() != FALSE, Enabled(dialog, IDC_EXIT_HIBERNATE));
            EXPECT_EQ(3u, DialogTips(dialog).size());
            // The up-down sits on the wait box's right edge, range 0 to 300.
            HWND spin = GetDlgItem(dialog, IDC_EXIT_WAIT_SPIN);
            EXPECT_TRUE(IsWindowVisible(spin));
            EXPECT_EQ(GetDlgItem(dialog, IDC_EXIT_WAIT),
                      reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)));
            int low = -1;
            int high = -1;
            SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
            EXPECT_EQ(0, low);
            EXPECT_EQ(300, high);
            RECT spinRect{};
            RECT waitRect{};
            GetWindowRect(spin, &spinRect);
            GetWindowRect(GetDlgItem(dialog, IDC_EXIT_WAIT), &waitRect);
            EXPECT_GT(spinRect.right - spinRect.left, 0);
            // UDS_ALIGNRIGHT lays the arrows over the box's right border.
            EXPECT_NEAR(waitRect.right, spinRect.left, 3);
            EXPECT_EQ(waitRect.top, spinRect.top);
            GetWindowRect(dialog, &place);
            Click(dialog, IDC_EXIT_OK);
        },
        settings);
    EXPECT_TRUE(run.accepted);
    EXPECT_EQ(Narrow(L"再起動 強制終了 待機時間 =30秒"), run.parameter);
    EXPECT_EQ(place.left, settings.ReadInt(L"SetWinEndLeft", INT_MIN));
    EXPECT_EQ(place.top, settings.ReadInt(L"SetWinEndTop", INT_MIN));
    EXPECT_TRUE(boxes.boxes().empty()) << Narrow(boxes.boxes()[0].text);
}

TEST_F(ParameterDialogTest, ExitWaitAboveTheLimitIsCorrectedAndTheDialogStays) {
    BoxRecorder boxes;
    ExitRun run = RunExit(
        this, L"", false,
        [](HWND dialog) {
            EXPECT_TRUE(Checked(dialog, IDC_EXIT_POWER_OFF));
            EXPECT_FALSE(Visible(dialog, IDC_EXIT_HELD));
            TypeText(dialog, IDC_EXIT_WAIT, L"301");
            Click(dialog, IDC_EXIT_OK);
            EXPECT_EQ(dialog, FindOpenDialog());
            EXPECT_EQ("300", ItemTextUtf8(dialog, IDC_EXIT_WAIT));
            EXPECT_EQ(GetDlgItem(dialog, IDC_EXIT_WAIT), GetFocus());
            Click(dialog, IDC_EXIT_OK);
        },
        settings);
    EXPECT_TRUE(run.accepted);
    EXPECT_EQ(Narrow(L"通常の終了 待機時間 =300秒"), run.parameter);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"正しい待機時間を入力して下さい"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ParameterDialogTest, ExitWaitThatIsNoNumberIsRefusedAndTheShownNumberIsWritten) {
    BoxRecorder boxes;
    ExitRun run = RunExit(
        this, L"通常の終了 待機時間 =10秒", false,
        [](HWND dialog) {
            // ES_NUMBER stops typing, not pasting: the text reaches the box.
            TypeText(dialog, IDC_EXIT_WAIT, L"3a");
            Click(dialog, IDC_EXIT_OK);
            EXPECT_EQ(dialog, FindOpenDialog());
            EXPECT_EQ("3a", ItemTextUtf8(dialog, IDC_EXIT_WAIT)) << "the input is kept";
            // The up-down still says 10; the number shown is what counts.
            TypeText(dialog, IDC_EXIT_WAIT, L"20");
            SetChecked(dialog, IDC_EXIT_FORCE, true);
            Click(dialog, IDC_EXIT_OK);
        },
        settings);
    EXPECT_TRUE(run.accepted);
    EXPECT_EQ(Narrow(L"通常の終了 強制終了 待機時間 =20秒"), run.parameter);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"正しい待機時間を入力して下さい"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ParameterDialogTest, ExitMethodsAndTheForceBox) {
    BoxRecorder boxes;
    bool hibernate = IsPwrHibernateAllowed() != FALSE;
    bool sleep = IsPwrSuspendAllowed() != FALSE;
    // Under Wine sleep is not allowed and hibernation is: the sleep word then
    // opens on shut-down.
    ExitRun run = RunExit(
        this, L"スリープ 強制終了", false,
        [&](HWND dialog) {
            EXPECT_EQ(sleep, Checked(dialog, IDC_EXIT_SLEEP));
            EXPECT_EQ(!sleep, Checked(dialog, IDC_EXIT_POWER_OFF));
            EXPECT_EQ(!sleep, Enabled(dialog, IDC_EXIT_FORCE));
            EXPECT_EQ("0", ItemTextUtf8(dialog, IDC_EXIT_WAIT));
            if (hibernate) {
                SetChecked(dialog, IDC_EXIT_HIBERNATE, true);
                EXPECT_FALSE(Enabled(dialog, IDC_EXIT_FORCE));
                EXPECT_FALSE(Checked(dialog, IDC_EXIT_FORCE));
                SetChecked(dialog, IDC_EXIT_RESTART, true);
                EXPECT_TRUE(Enabled(dialog, IDC_EXIT_FORCE));
                SetChecked(dialog, IDC_EXIT_HIBERNATE, true);
            }
            Click(dialog, IDC_EXIT_OK);
        },
        settings);
    if (hibernate) {
        EXPECT_EQ(Narrow(L"休止状態"), run.parameter);
    }
    ExitRun both = RunExit(
        this, L"スリープ 再起動", false,
        [](HWND dialog) {
            EXPECT_TRUE(Checked(dialog, IDC_EXIT_RESTART)) << "restart wins over every other word";
            Click(dialog, IDC_EXIT_CANCEL);
        },
        settings);
    EXPECT_FALSE(both.accepted);
    EXPECT_EQ(Narrow(L"スリープ 再起動"), both.parameter);
}

TEST_F(ParameterDialogTest, ExitCheckTable) {
    const struct {
        const wchar_t* text;
        const wchar_t* refusal;
    } cases[] = {
        {L"", L"終了パラメータが入力されていません"},
        {L"シャットダウン", L"Windows 終了パラメータエラー"},
        {L"再起動 待機時間 =abc秒", L"待機時間指定エラー"},
        {L"再起動 待機時間 =500秒", nullptr},
        {L"再起動 待機時間 =", nullptr},  // no "秒" reads as 0
        {L"休止状態", nullptr},
    };
    for (const auto& c : cases) {
        BoxRecorder boxes;
        EXPECT_EQ(c.refusal == nullptr, CheckExitParameter(c.text, nullptr)) << Narrow(c.text);
        if (c.refusal == nullptr) {
            EXPECT_TRUE(boxes.boxes().empty()) << Narrow(c.text);
        } else {
            ASSERT_EQ(1u, boxes.boxes().size()) << Narrow(c.text);
            EXPECT_EQ(Narrow(c.refusal), Narrow(boxes.boxes()[0].text));
        }
    }
}

// ---- Media ----

std::string RunMedia(const SettingsFile& settings, const wchar_t* parameter, std::vector<DialogStep> steps,
                     bool* accepted) {
    DMedia dialog(parameter, IDI_SETTINGS, settings, kElevationDefault);
    RunDialog(
        [&] {
            *accepted = dialog.Run(nullptr);
            return 0;
        },
        std::move(steps));
    return Narrow(dialog.parameter());
}

TEST(VolumeIndexTest, RoundsUpToTensAndCapsAtTheMaximum) {
    const int cases[][2] = {{-5, 0}, {0, 0},  {1, 1},  {10, 1},  {11, 2},   {50, 5},
                            {55, 6}, {81, 9}, {90, 9}, {91, 10}, {100, 10}, {150, 10}};
    for (const auto& c : cases) EXPECT_EQ(c[1], VolumeIndex(c[0])) << c[0];
}

TEST_F(ParameterDialogTest, MediaRoundTripAndPlace) {
    BoxRecorder boxes;
    bool accepted = false;
    RECT place{};
    std::string result = RunMedia(settings, L"Repeat Vol:50% C:\\sounds\\a b.wav", {[&](HWND dialog) {
                                      EXPECT_TRUE(Checked(dialog, IDC_MEDIA_REPEAT));
                                      EXPECT_EQ(5, SelectedEntry(dialog, IDC_MEDIA_VOLUME));
                                      EXPECT_EQ(11, SendDlgItemMessageW(dialog, IDC_MEDIA_VOLUME, CB_GETCOUNT, 0, 0));
                                      EXPECT_EQ("C:\\sounds\\a b.wav", ItemTextUtf8(dialog, IDC_MEDIA_FILE));
                                      EXPECT_TRUE(ReadOnly(dialog, IDC_MEDIA_FILE));
                                      GetWindowRect(dialog, &place);
                                      Click(dialog, IDC_MEDIA_OK);
                                  }},
                                  &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ("Repeat Vol:50% C:\\sounds\\a b.wav", result);
    EXPECT_EQ(place.left, settings.ReadInt(L"SetPlayLeft", INT_MIN));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ParameterDialogTest, MediaVolumeRoundedAndPartsLeftOut) {
    BoxRecorder boxes;
    bool accepted = false;
    EXPECT_EQ("Vol:60% C:\\a.wav", RunMedia(settings, L"Vol:55% C:\\a.wav", {[](HWND dialog) {
                                                EXPECT_EQ(6, SelectedEntry(dialog, IDC_MEDIA_VOLUME));
                                                Click(dialog, IDC_MEDIA_OK);
                                            }},
                                            &accepted));
    EXPECT_EQ("C:\\a.wav", RunMedia(settings, L"Repeat Vol:100% C:\\a.wav", {[](HWND dialog) {
                                        EXPECT_EQ(10, SelectedEntry(dialog, IDC_MEDIA_VOLUME));
                                        SelectEntry(dialog, IDC_MEDIA_VOLUME, 0);
                                        SetChecked(dialog, IDC_MEDIA_REPEAT, false);
                                        Click(dialog, IDC_MEDIA_OK);
                                    }},
                                    &accepted));
    // "Vol:" without a later "% " is no volume: the whole text is the file.
    EXPECT_EQ("Vol:50 C:\\a.wav", RunMedia(settings, L"Vol:50 C:\\a.wav", {[](HWND dialog) {
                                               EXPECT_EQ(0, SelectedEntry(dialog, IDC_MEDIA_VOLUME));
                                               EXPECT_EQ("Vol:50 C:\\a.wav", ItemTextUtf8(dialog, IDC_MEDIA_FILE));
                                               Click(dialog, IDC_MEDIA_OK);
                                           }},
                                           &accepted));
}

TEST_F(ParameterDialogTest, MediaEmptyFileRefusedThenBrowsed) {
    BoxRecorder boxes;
    WString picked = MakeFile(L"ring.wav");
    bool accepted = false;
    std::string result = RunMedia(settings, L"",
                                  {
                                      [](HWND dialog) {
                                          Click(dialog, IDC_MEDIA_OK);
                                          EXPECT_EQ(dialog, FindOpenDialog());
                                          PostClick(dialog, IDC_MEDIA_BROWSE);
                                      },
                                      [&](HWND picker) {
                                          EXPECT_EQ(Narrow(L"音声・動画ファイルの指定"), Narrow(WindowText(picker)));
                                          AnswerFilePicker(picker, picked.text());
                                      },
                                      [](HWND dialog) { Click(dialog, IDC_MEDIA_OK); },
                                  },
                                  &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Narrow(picked), result);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"ファイル名が入っていません"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ParameterDialogTest, MediaCancelKeepsTheParameter) {
    BoxRecorder boxes;
    bool accepted = true;
    EXPECT_EQ("C:\\a.wav", RunMedia(settings, L"C:\\a.wav", {[](HWND dialog) {
                                        SetChecked(dialog, IDC_MEDIA_REPEAT, true);
                                        Click(dialog, IDC_MEDIA_CANCEL);
                                    }},
                                    &accepted));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(INT_MIN, settings.ReadInt(L"SetPlayLeft", INT_MIN));
}

// The picker's filter list (cmb1) shows the filter chosen from the
// extension of the name it starts with; a file that does not exist starts
// it on the Media folder's "*.wav", the sound filter.
TEST_F(ParameterDialogTest, MediaBrowseFilterFollowsTheExtension) {
    BoxRecorder boxes;
    constexpr int kFilterList = 0x470;
    const struct {
        const wchar_t* name;
        bool create;
        int filter;
    } cases[] = {
        {L"", false, 0},        {L"song.MID", true, 1},  {L"gone.mid", false, 0},
        {L"clip.avi", true, 2}, {L"notes.txt", true, 3}, {L"ring.Mp3", true, 0},
    };
    for (const auto& c : cases) {
        WString path = c.name[0] == L'\0' ? WString() : JoinPath(folder.path(), c.name);
        if (c.create) CreateEmptyFile(path);
        int shown = -1;
        bool accepted = true;
        RunMedia(settings, path.text(),
                 {
                     [](HWND dialog) { PostClick(dialog, IDC_MEDIA_BROWSE); },
                     [&](HWND picker) {
                         shown = static_cast<int>(SendDlgItemMessageW(picker, kFilterList, CB_GETCURSEL, 0, 0));
                         PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                     },
                     [](HWND dialog) { Click(dialog, IDC_MEDIA_CANCEL); },
                 },
                 &accepted);
        EXPECT_EQ(c.filter, shown) << Narrow(c.name);
    }
}

TEST(MediaCheckTest, DriveLetterPathsOnly) {
    const struct {
        const wchar_t* text;
        bool passes;
    } cases[] = {
        {L"C:\\a.wav", true},
        {L"Repeat Vol:50% D:\\m\\b.mid", true},
        {L"\\\\server\\a.wav", false},
        {L"a.wav", false},
        {L"", false},
        {L"Repeat ", false},
    };
    for (const auto& c : cases) {
        BoxRecorder boxes;
        EXPECT_EQ(c.passes, CheckMediaParameter(c.text, nullptr)) << Narrow(c.text);
        EXPECT_EQ(c.passes ? 0u : 1u, boxes.boxes().size()) << Narrow(c.text);
        if (!c.passes) {
            EXPECT_EQ(Narrow(L"ファイル名が入力されていません"), Narrow(boxes.boxes()[0].text));
        }
    }
}

// ---- Wallpaper ----

std::string RunWallpaper(const SettingsFile& settings, const wchar_t* parameter, std::vector<DialogStep> steps,
                         int osLevel = kOs10, int elevation = kElevationDefault) {
    DWallpaper dialog(parameter, osLevel, elevation, settings, SpecialFolderPath(0x24 /* CSIDL_WINDOWS */));
    RunDialog(
        [&] {
            dialog.Run(nullptr);
            return 0;
        },
        std::move(steps));
    return Narrow(dialog.parameter());
}

TEST(WallpaperRulesTest, LayoutsByLevelAndMonitors) {
    const int cases[][3] = {{kOsVista, 1, 3}, {kOsVista, 2, 3}, {kOs7, 2, 5},
                            {kOs8, 1, 5},     {kOs8, 2, 6},     {kOs10, 3, 6}};
    for (const auto& c : cases) EXPECT_EQ(c[2], OfferedLayoutCount(c[0], c[1])) << c[0] << "/" << c[1];
}

TEST_F(ParameterDialogTest, AcceptedWallpaperFiles) {
    const struct {
        const wchar_t* name;
        int level;
        bool accepted;
    } cases[] = {
        {L"a.bmp", kOsVista, true}, {L"a.PNG", kOsVista, true}, {L"a.tif", kOsVista, false},
        {L"a.tif", kOs7, true},     {L"a.wdp", kOs10, true},    {L"a.txt", kOs10, false},
    };
    for (const auto& c : cases) {
        WString path = JoinPath(folder.path(), c.name);
        CreateEmptyFile(path);
        EXPECT_EQ(c.accepted, IsAcceptedWallpaper(path, c.level)) << Narrow(c.name) << " at level " << c.level;
    }
    EXPECT_FALSE(IsAcceptedWallpaper(JoinPath(folder.path(), L"missing.bmp"), kOs10));
}

TEST(CutBlackEdgesTest, Table) {
    const uint32_t K = 0xFF000000;  // black with a fourth byte: still black
    const uint32_t W = 0x00FFFFFF;
    struct Case {
        std::vector<uint32_t> pixels;
        int width, height;
        bool cut;
        int newWidth, newHeight;
        std::vector<uint32_t> result;
    };
    const Case cases[] = {
        // A 2x2 picture inside black bars on every side.
        {{K, K, K, K, K, W, 2, K, K, 3, W, K, K, K, K, K}, 4, 4, true, 2, 2, {W, 2, 3, W}},
        {{K, K, K, K}, 2, 2, false, 2, 2, {}},                 // black all over
        {{K, K, K, W, W, W, K, K, K}, 3, 3, false, 3, 3, {}},  // one row lit
        {{W, K, W, K}, 2, 2, false, 2, 2, {}},                 // one column lit: too thin
        {{W, W, W, W}, 2, 2, false, 2, 2, {}},                 // nothing to cut
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> pixels = c.pixels;
        int width = c.width;
        int height = c.height;
        EXPECT_EQ(c.cut, CutBlackEdges(pixels, width, height));
        EXPECT_EQ(c.newWidth, width);
        EXPECT_EQ(c.newHeight, height);
        EXPECT_EQ(c.cut ? c.result : c.pixels, pixels);
    }
}

TEST_F(ParameterDialogTest, WallpaperRoundTripPreviewWithoutBoxes) {
    BoxRecorder boxes;
    WString picture = MakeFile(L"tile me.bmp");
    std::wstring parameter = std::wstring(L"Tile ") + picture.text();
    EXPECT_EQ(Narrow(parameter), RunWallpaper(settings, parameter.c_str(), {[&](HWND dialog) {
                                                  EXPECT_EQ(1, SelectedEntry(dialog, IDC_KABE_LAYOUT));
                                                  EXPECT_EQ(Narrow(picture), ItemTextUtf8(dialog, IDC_KABE_FILE));
                                                  // The preview is painted; an empty file (and under Wine any file,
                                                  // which offers no IExtractImage) gives "プレビュー不可", never a box
                                                  // that would make the preview repaint and fail again.
                                                  for (int i = 0; i < 3; ++i) {
                                                      InvalidateRect(dialog, nullptr, TRUE);
                                                      UpdateWindow(dialog);
                                                  }
                                                  Click(dialog, IDC_KABE_OK);
                                              }}));
    EXPECT_TRUE(boxes.boxes().empty()) << Narrow(boxes.boxes()[0].text);
    EXPECT_NE(-1, settings.ReadInt(L"KabeLeft", -1));
}

// A path the file system finds but the shell cannot parse (the "\\?\"
// form) fails a shell step while painting: its box comes once, not again on
// each repaint that the box itself causes.
TEST_F(ParameterDialogTest, WallpaperShellFailureIsReportedOncePerPath) {
    BoxRecorder boxes;
    WString picture = MakeFile(L"raw.bmp");
    WString raw = WString(L"\\\\?\\") + picture;
    ASSERT_TRUE(IsAcceptedWallpaper(raw, kOs10));
    std::wstring parameter = std::wstring(L"Center ") + raw.text();
    RunWallpaper(settings, parameter.c_str(), {[&](HWND dialog) {
                     EXPECT_EQ(Narrow(raw), ItemTextUtf8(dialog, IDC_KABE_FILE));
                     for (int i = 0; i < 4; ++i) {
                         InvalidateRect(dialog, nullptr, TRUE);
                         UpdateWindow(dialog);
                     }
                     Click(dialog, IDC_KABE_CANCEL);
                 }});
    ASSERT_EQ(1u, boxes.boxes().size()) << "one box, not one per repaint";
    for (const RecordedBox& box : boxes.boxes())
        EXPECT_EQ(0u, Narrow(box.text).find("ParseDisplayName Error Code =0x")) << Narrow(box.text);
}

TEST_F(ParameterDialogTest, WallpaperLayoutNotOfferedIsRefusedUntilOneIsPicked) {
    BoxRecorder boxes;
    WString picture = MakeFile(L"p.jpg");
    std::wstring parameter = std::wstring(L"Span ") + picture.text();
    std::string result = RunWallpaper(settings, parameter.c_str(), {[&](HWND dialog) {
                                          if (GetSystemMetrics(SM_CMONITORS) > 1) {
                                              Click(dialog, IDC_KABE_CANCEL);
                                              return;
                                          }
                                          EXPECT_EQ(-1, SelectedEntry(dialog, IDC_KABE_LAYOUT));
                                          Click(dialog, IDC_KABE_OK);
                                          EXPECT_EQ(dialog, FindOpenDialog());
                                          SelectEntry(dialog, IDC_KABE_LAYOUT, 0);
                                          Click(dialog, IDC_KABE_OK);
                                      }});
    if (GetSystemMetrics(SM_CMONITORS) > 1) return;
    EXPECT_EQ("Center " + Narrow(picture), result);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"壁紙の表示方法が選択されていません"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ParameterDialogTest, WallpaperMissingFileDropsAndCancel) {
    BoxRecorder boxes;
    WString first = MakeFile(L"first.png");
    WString second = MakeFile(L"second.png");
    WString text = MakeFile(L"notes.txt");
    std::string result = RunWallpaper(
        settings, L"Center C:\\missing\\gone.bmp", {[&](HWND dialog) {
            EXPECT_EQ("", ItemTextUtf8(dialog, IDC_KABE_FILE));
            HWND preview = GetDlgItem(dialog, IDC_KABE_PREVIEW);
            SendMessageW(preview, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({first.text(), second.text()})), 0);
            EXPECT_EQ(Narrow(first), ItemTextUtf8(dialog, IDC_KABE_FILE)) << "only the first file of a drop";
            SendMessageW(preview, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({text.text()})), 0);
            EXPECT_EQ(Narrow(first), ItemTextUtf8(dialog, IDC_KABE_FILE));
            Click(dialog, IDC_KABE_CANCEL);
        }});
    EXPECT_EQ("", result) << "Cancel empties the parameter";
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"壁紙として存在していないかサポートされていません"), Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(Narrow(L"壁紙としてサポートされていません"), Narrow(boxes.boxes()[1].text));
}

TEST_F(ParameterDialogTest, WallpaperEmptyOkElevatedHintAndNoActiveDesktop) {
    BoxRecorder boxes;
    std::string result = RunWallpaper(settings, L"", {[](HWND dialog) {
                                          EXPECT_EQ(Narrow(L"壁紙の設定(昇格中)"), Narrow(WindowText(dialog)));
                                          EXPECT_EQ(Narrow(L"左側の枠にファイルのドラッグ＆ドロップは恐らく不可"),
                                                    ItemTextUtf8(dialog, IDC_KABE_HINT));
                                          Click(dialog, IDC_KABE_OK);
                                          EXPECT_EQ(dialog, FindOpenDialog());
                                          PostMessageW(dialog, WM_CLOSE, 0, 0);
                                      }},
                                      kOs10, kElevationFull);
    EXPECT_EQ("", result);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"背景画ファイルが指定されていません"), Narrow(boxes.boxes()[0].text));

    BoxRecorder noDesktop;
    DesktopProbe previous = SetDesktopProbe([] { return false; });
    WString picture = MakeFile(L"x.bmp");
    std::wstring parameter = std::wstring(L"Tile ") + picture.text();
    RunWallpaper(settings, parameter.c_str(), {[](HWND dialog) {
                     EXPECT_EQ("", ItemTextUtf8(dialog, IDC_KABE_FILE)) << "the dialog starts empty";
                     EXPECT_EQ(-1, SelectedEntry(dialog, IDC_KABE_LAYOUT));
                     Click(dialog, IDC_KABE_CANCEL);
                 }});
    SetDesktopProbe(previous);
    ASSERT_EQ(1u, noDesktop.boxes().size());
    EXPECT_EQ(Narrow(L"ActiveDesktop がインストールされていません"), Narrow(noDesktop.boxes()[0].text));
}

// With an empty path the picker starts in the Windows folder's
// Web\Wallpaper: a bare name typed there is found in that folder.
TEST_F(ParameterDialogTest, WallpaperBrowseStartsInWebWallpaper) {
    BoxRecorder boxes;
    WString web = JoinPath(folder.path(), L"Web");
    WString wallpapers = JoinPath(web, L"Wallpaper");
    ASSERT_TRUE(CreateDirectoryW(web.text(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(wallpapers.text(), nullptr));
    WString picture = JoinPath(wallpapers, L"sea.jpg");
    ASSERT_TRUE(CreateEmptyFile(picture));
    DWallpaper dialog(L"", kOs10, kElevationDefault, settings, folder.path());
    RunDialog(
        [&] {
            dialog.Run(nullptr);
            return 0;
        },
        {
            [](HWND wallpaper) { PostClick(wallpaper, IDC_KABE_BROWSE); },
            [](HWND picker) {
                EXPECT_EQ(Narrow(L"壁紙ファイル名の指定"), Narrow(WindowText(picker)));
                AnswerFilePicker(picker, L"sea.jpg");
            },
            [](HWND wallpaper) {
                SelectEntry(wallpaper, IDC_KABE_LAYOUT, 2);
                Click(wallpaper, IDC_KABE_OK);
            },
        });
    EXPECT_EQ("Expand " + Narrow(picture), Narrow(dialog.parameter()));
    DeleteFileW(picture.text());
    RemoveDirectoryW(wallpapers.text());
    RemoveDirectoryW(web.text());
}

TEST_F(ParameterDialogTest, WallpaperStoredPlaceBelowZeroIsNotRestored) {
    BoxRecorder boxes;
    settings.WriteInt(L"KabeLeft", -5);
    settings.WriteInt(L"KabeTop", 10);
    RECT place{};
    RunWallpaper(settings, L"", {[&](HWND dialog) {
                     GetWindowRect(dialog, &place);
                     Click(dialog, IDC_KABE_CANCEL);
                 }});
    EXPECT_NE(-5, place.left);
}

}  // namespace
