// The parameters of the Mplay, Exit and Kabe actions: ZAV reads them, ZAVSet's
// dialogs write them. Both sides go through these functions so the two can
// never disagree about the format.
#pragma once

#include "common/WString.h"
#include "schedule/ScheduleLine.h"

// ---- Mplay: ["Repeat "]["Vol:" percent "% "]file ------------------------

struct MplayParameter {
    bool repeat = false;
    int volume = 0;  // percent of the device's maximum, 1..100; 0 leaves the volume alone
    WString file;    // without enclosing blanks and quotes
};

// "Repeat " only at index 0 and "Vol:" only right after it, both case-
// sensitive. A volume that is not a plain decimal number reads as 0, one
// above 100 as 100. "Vol:" without a following "% " is no volume: the whole
// text is the file.
MplayParameter ParseMplayParameter(const WString& parameter);
// The file is written as it is, without quotes; no volume part for 0.
WString ComposeMplayParameter(const MplayParameter& mplay);

// ---- Exit: method word [" 強制終了"][" 待機時間 =" seconds "秒"] --------

enum class ExitMethod { PowerOff, Sleep, Hibernate, Restart };

extern const wchar_t kExitPowerOffWord[];   // "通常の終了"
extern const wchar_t kExitSleepWord[];      // "スリープ"
extern const wchar_t kExitHibernateWord[];  // "休止状態"
extern const wchar_t kExitRestartWord[];    // "再起動"
extern const wchar_t kExitForceWord[];      // "強制終了"
extern const wchar_t kExitWaitWord[];       // "待機時間 ="

struct ExitParameter {
    // Each word is looked for anywhere in the text. The method ZAV carries
    // out: sleep before hibernation before power-off before restart; a text
    // without a method word powers off.
    ExitMethod method = ExitMethod::PowerOff;
    bool hasMethodWord = false;
    bool force = false;
    bool hasWait = false;  // "待機時間 =" is there: a countdown comes first
    int wait = 0;          // seconds, never negative
    // The wait text was a plain decimal number of 0 or more, or "秒" was
    // missing (which reads as 0). False for "待機時間 =x秒" or "=-5秒".
    bool waitValid = true;
    // The countdown's caption: the text before "待機時間 =" and "までの時間".
    WString title;
};

ExitParameter ParseExitParameter(const WString& parameter);
// Force is written only for power-off and restart; the wait only above 0.
WString ComposeExitParameter(const ExitParameter& exit);

// ---- Kabe: style word, one blank, path; or "(なし)" -----------------------

// Index = the placement (WALLPAPEROPT.dwStyle): center, tile, stretch,
// keep aspect, crop to fit, span.
constexpr int kKabeStyleCount = 6;
extern const wchar_t* const kKabeStyleWords[kKabeStyleCount];  // "Center" … "Span"
extern const wchar_t kKabeNoneWord[];                          // "(なし)"

struct KabeParameter {
    bool valid = false;  // a style word began the text, or it was "(なし)"
    bool none = false;   // "(なし)": no wallpaper (centred, empty path)
    int style = 0;       // index into kKabeStyleWords
    WString path;        // after the word and its blank, unchanged
};

// The words are matched case-sensitively at index 0 in table order; the
// path is everything after the word and one more unit.
KabeParameter ParseKabeParameter(const WString& parameter);
WString ComposeKabeParameter(const KabeParameter& kabe);

// ---- The check at OK in the editor and the timer ----

// The refusal of a parameter the dialogs of Mplay and Exit would not accept,
// or null.
const wchar_t* MplayParameterRefusal(const WString& parameter);
const wchar_t* ExitParameterRefusal(const WString& parameter);

// The first thing wrong with an action and its parameter: no action chosen,
// a parameter the action cannot use, or an Exit at ZAV's start. atStart: the
// editor's "プログラム起動時" (1222) is checked; the timer has no such box.
Refusal CheckActionParameter(int action, const WString& parameter, bool atStart);
