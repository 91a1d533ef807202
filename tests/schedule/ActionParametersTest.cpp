#include <gtest/gtest.h>

#include "schedule/ActionParameters.h"
#include "tests/common/TestSupport.h"

namespace {

struct MplayCase {
    const wchar_t* text;
    bool repeat;
    int volume;
    const wchar_t* file;
    const wchar_t* composed;  // what ZAVSet writes back; nullptr: the text itself
};

const MplayCase kMplayCases[] = {
    {L"C:\\Sound\\bell.wav", false, 0, L"C:\\Sound\\bell.wav", nullptr},
    {L"Repeat C:\\a.wav", true, 0, L"C:\\a.wav", nullptr},
    {L"Vol:50% C:\\a.wav", false, 50, L"C:\\a.wav", nullptr},
    {L"Repeat Vol:100% C:\\a.wav", true, 100, L"C:\\a.wav", nullptr},
    {L"Repeat Vol:10% C:\\My Music\\a b.mp3", true, 10, L"C:\\My Music\\a b.mp3", nullptr},
    // Quotes and enclosing blanks go; ZAVSet writes the path bare.
    {L"\"C:\\My Music\\a.wav\"", false, 0, L"C:\\My Music\\a.wav", L"C:\\My Music\\a.wav"},
    {L"Vol:30%  \"C:\\a.wav\" ", false, 30, L"C:\\a.wav", L"Vol:30% C:\\a.wav"},
    // Volumes that are no plain number play at the current volume.
    {L"Vol:0% C:\\a.wav", false, 0, L"C:\\a.wav", L"C:\\a.wav"},
    {L"Vol:x% C:\\a.wav", false, 0, L"C:\\a.wav", L"C:\\a.wav"},
    {L"Vol:-5% C:\\a.wav", false, 0, L"C:\\a.wav", L"C:\\a.wav"},
    {L"Vol:% C:\\a.wav", false, 0, L"C:\\a.wav", L"C:\\a.wav"},
    // Above the maximum is the maximum.
    {L"Vol:250% C:\\a.wav", false, 100, L"C:\\a.wav", L"Vol:100% C:\\a.wav"},
    {L"Vol:99999999999% C:\\a.wav", false, 100, L"C:\\a.wav", L"Vol:100% C:\\a.wav"},
    // "Vol:" without "% ": no volume, the whole text is the file.
    {L"Vol:50 C:\\a.wav", false, 0, L"Vol:50 C:\\a.wav", nullptr},
    // Keywords are case-sensitive and only at their places.
    {L"repeat C:\\a.wav", false, 0, L"repeat C:\\a.wav", nullptr},
    {L"vol:50% C:\\a.wav", false, 0, L"vol:50% C:\\a.wav", nullptr},
    {L"Vol:50% Repeat C:\\a.wav", false, 50, L"Repeat C:\\a.wav", nullptr},
    {L"RepeatC:\\a.wav", false, 0, L"RepeatC:\\a.wav", nullptr},
    {L"Repeat ", true, 0, L"", nullptr},
    {L"", false, 0, L"", nullptr},
};

TEST(ActionParameters, MplayTable) {
    for (const MplayCase& c : kMplayCases) {
        SCOPED_TRACE(Narrow(c.text));
        const MplayParameter mplay = ParseMplayParameter(c.text);
        EXPECT_EQ(mplay.repeat, c.repeat);
        EXPECT_EQ(mplay.volume, c.volume);
        EXPECT_EQ(Narrow(mplay.file), Narrow(c.file));
        EXPECT_EQ(Narrow(ComposeMplayParameter(mplay)), Narrow(c.composed ? c.composed : c.text));
    }
}

TEST(ActionParameters, MplayRoundTripOfEveryDialogChoice) {
    // The dialog writes no volume or 10, 20, ... 100, with or without repeat.
    for (int repeat = 0; repeat < 2; ++repeat) {
        for (int volume = 0; volume <= 100; volume += 10) {
            MplayParameter mplay;
            mplay.repeat = repeat != 0;
            mplay.volume = volume;
            mplay.file = L"D:\\音\\ベル 1.wav";
            const MplayParameter back = ParseMplayParameter(ComposeMplayParameter(mplay));
            EXPECT_EQ(back.repeat, mplay.repeat);
            EXPECT_EQ(back.volume, volume);
            EXPECT_EQ(Narrow(back.file), Narrow(mplay.file));
        }
    }
}

struct ExitCase {
    const wchar_t* text;
    ExitMethod method;
    bool hasMethodWord;
    bool force;
    bool hasWait;
    int wait;
    bool waitValid;
    const wchar_t* title;     // only checked when hasWait
    const wchar_t* composed;  // nullptr: the text itself
};

const ExitCase kExitCases[] = {
    {L"通常の終了", ExitMethod::PowerOff, true, false, false, 0, true, L"", nullptr},
    {L"通常の終了 強制終了 待機時間 =30秒", ExitMethod::PowerOff, true, true, true, 30, true,
     L"通常の終了 強制終了 までの時間", nullptr},
    {L"再起動", ExitMethod::Restart, true, false, false, 0, true, L"", nullptr},
    {L"再起動 強制終了 待機時間 =2秒", ExitMethod::Restart, true, true, true, 2, true, L"再起動 強制終了 までの時間",
     nullptr},
    {L"スリープ", ExitMethod::Sleep, true, false, false, 0, true, L"", nullptr},
    {L"休止状態 待機時間 =300秒", ExitMethod::Hibernate, true, false, true, 300, true, L"休止状態 までの時間", nullptr},
    // Force has no effect on sleep and is not written for it.
    {L"スリープ 強制終了", ExitMethod::Sleep, true, true, false, 0, true, L"", L"スリープ"},
    // ZAV's order: sleep, hibernate, power-off, restart.
    {L"再起動 スリープ", ExitMethod::Sleep, true, false, false, 0, true, L"", L"スリープ"},
    {L"再起動 通常の終了", ExitMethod::PowerOff, true, false, false, 0, true, L"", L"通常の終了"},
    // Without a method word: power off.
    {L"強制終了", ExitMethod::PowerOff, false, true, false, 0, true, L"", L"通常の終了 強制終了"},
    {L"", ExitMethod::PowerOff, false, false, false, 0, true, L"", L"通常の終了"},
    // A wait of 0 shows the countdown (it ends at the first tick) but is not written.
    {L"通常の終了 待機時間 =0秒", ExitMethod::PowerOff, true, false, true, 0, true, L"通常の終了 までの時間",
     L"通常の終了"},
    // Waits that are no plain number count as 0; a missing "秒" reads as 0 and is valid.
    {L"通常の終了 待機時間 =-5秒", ExitMethod::PowerOff, true, false, true, 0, false, L"通常の終了 までの時間",
     L"通常の終了"},
    {L"通常の終了 待機時間 =x秒", ExitMethod::PowerOff, true, false, true, 0, false, L"通常の終了 までの時間",
     L"通常の終了"},
    {L"通常の終了 待機時間 =10", ExitMethod::PowerOff, true, false, true, 0, true, L"通常の終了 までの時間",
     L"通常の終了"},
    {L"待機時間 =5秒", ExitMethod::PowerOff, false, false, true, 5, true, L"までの時間", L"通常の終了 待機時間 =5秒"},
    // A hand-written wait above the dialog's 300 stays.
    {L"再起動 待機時間 =500秒", ExitMethod::Restart, true, false, true, 500, true, L"再起動 までの時間", nullptr},
};

TEST(ActionParameters, ExitTable) {
    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(Narrow(c.text));
        const ExitParameter exit = ParseExitParameter(c.text);
        EXPECT_EQ(static_cast<int>(exit.method), static_cast<int>(c.method));
        EXPECT_EQ(exit.hasMethodWord, c.hasMethodWord);
        EXPECT_EQ(exit.force, c.force);
        EXPECT_EQ(exit.hasWait, c.hasWait);
        EXPECT_EQ(exit.wait, c.wait);
        EXPECT_EQ(exit.waitValid, c.waitValid);
        if (c.hasWait) {
            EXPECT_EQ(Narrow(exit.title), Narrow(c.title));
        }
        EXPECT_EQ(Narrow(ComposeExitParameter(exit)), Narrow(c.composed ? c.composed : c.text));
    }
}

TEST(ActionParameters, ExitRoundTripOfEveryDialogChoice) {
    const ExitMethod methods[] = {ExitMethod::PowerOff, ExitMethod::Sleep, ExitMethod::Hibernate, ExitMethod::Restart};
    for (ExitMethod method : methods) {
        for (int force = 0; force < 2; ++force) {
            for (int wait : {0, 1, 59, 300}) {
                ExitParameter exit;
                exit.method = method;
                exit.force = force != 0 && (method == ExitMethod::PowerOff || method == ExitMethod::Restart);
                exit.wait = wait;
                const WString text = ComposeExitParameter(exit);
                SCOPED_TRACE(Narrow(text));
                const ExitParameter back = ParseExitParameter(text);
                EXPECT_EQ(static_cast<int>(back.method), static_cast<int>(method));
                EXPECT_EQ(back.force, exit.force);
                EXPECT_EQ(back.hasWait, wait > 0);
                EXPECT_EQ(back.wait, wait);
            }
        }
    }
}

struct KabeCase {
    const wchar_t* text;
    bool valid;
    bool none;
    int style;
    const wchar_t* path;
};

const KabeCase kKabeCases[] = {
    {L"Center C:\\pic.bmp", true, false, 0, L"C:\\pic.bmp"},
    {L"Tile C:\\pic.bmp", true, false, 1, L"C:\\pic.bmp"},
    {L"Expand C:\\Windows\\Web\\Wallpaper\\Windows\\img0.jpg", true, false, 2,
     L"C:\\Windows\\Web\\Wallpaper\\Windows\\img0.jpg"},
    {L"XSize C:\\a.png", true, false, 3, L"C:\\a.png"},
    {L"XPage C:\\a.png", true, false, 4, L"C:\\a.png"},
    {L"Span C:\\pic.jpg", true, false, 5, L"C:\\pic.jpg"},
    // The path is taken unchanged: a second blank starts it, quotes stay.
    {L"Tile  C:\\pic.bmp", true, false, 1, L" C:\\pic.bmp"},
    {L"Center \"C:\\My Pictures\\a.bmp\"", true, false, 0, L"\"C:\\My Pictures\\a.bmp\""},
    {L"(なし)", true, true, 0, L""},
    {L"Center", true, false, 0, L""},
    {L"center C:\\pic.bmp", false, false, 0, L""},
    {L" Tile C:\\pic.bmp", false, false, 0, L""},
    {L"(なし) C:\\pic.bmp", false, false, 0, L""},
    {L"", false, false, 0, L""},
};

TEST(ActionParameters, KabeTable) {
    for (const KabeCase& c : kKabeCases) {
        SCOPED_TRACE(Narrow(c.text));
        const KabeParameter kabe = ParseKabeParameter(c.text);
        EXPECT_EQ(kabe.valid, c.valid);
        EXPECT_EQ(kabe.none, c.none);
        EXPECT_EQ(kabe.style, c.style);
        EXPECT_EQ(Narrow(kabe.path), Narrow(c.path));
        if (c.valid && !(kabe.path.empty() && !c.none)) {
            EXPECT_EQ(Narrow(ComposeKabeParameter(kabe)), Narrow(c.text));
        }
    }
}

TEST(ActionParameters, KabeRoundTripOfEveryStyle) {
    for (int style = 0; style < kKabeStyleCount; ++style) {
        KabeParameter kabe;
        kabe.style = style;
        kabe.path = L"C:\\壁紙\\a b.jpg";
        const KabeParameter back = ParseKabeParameter(ComposeKabeParameter(kabe));
        EXPECT_TRUE(back.valid);
        EXPECT_FALSE(back.none);
        EXPECT_EQ(back.style, style);
        EXPECT_EQ(Narrow(back.path), Narrow(kabe.path));
    }
    KabeParameter none;
    none.none = true;
    EXPECT_TRUE(ParseKabeParameter(ComposeKabeParameter(none)).none);
}

}  // namespace
