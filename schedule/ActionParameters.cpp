#include "schedule/ActionParameters.h"

#include <cwchar>

#include "common/Paths.h"

namespace {

const wchar_t kRepeatWord[] = L"Repeat ";
const wchar_t kVolumeWord[] = L"Vol:";
const wchar_t kVolumeEnd[] = L"% ";
const wchar_t kWaitUnit[] = L"秒";
const wchar_t kTitleEnd[] = L"までの時間";

bool StartsWith(const WString& text, const wchar_t* word) {
    return std::wcsncmp(text.text(), word, std::wcslen(word)) == 0;
}

bool Contains(const WString& text, const wchar_t* word) {
    return text.Find(word) >= 0;
}

// A plain decimal number: digits only, at least one, no sign or blanks;
// -1 for anything else. Values past 9 digits are cut at 999999999.
int PlainNumber(const WString& text) {
    if (text.empty()) return -1;
    int value = 0;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text.at(i);
        if (c < L'0' || c > L'9') return -1;
        if (value < 100000000)
            value = value * 10 + (c - L'0');
        else
            value = 999999999;
    }
    return value;
}

}  // namespace

const wchar_t kExitPowerOffWord[] = L"通常の終了";
const wchar_t kExitSleepWord[] = L"スリープ";
const wchar_t kExitHibernateWord[] = L"休止状態";
const wchar_t kExitRestartWord[] = L"再起動";
const wchar_t kExitForceWord[] = L"強制終了";
const wchar_t kExitWaitWord[] = L"待機時間 =";

const wchar_t* const kKabeStyleWords[kKabeStyleCount] = {
    L"Center", L"Tile", L"Expand", L"XSize", L"XPage", L"Span",
};
const wchar_t kKabeNoneWord[] = L"(なし)";

MplayParameter ParseMplayParameter(const WString& parameter) {
    MplayParameter mplay;
    WString rest = parameter;
    if (StartsWith(rest, kRepeatWord)) {
        mplay.repeat = true;
        rest = rest.From(7);
    }
    const int volumeEnd = rest.Find(kVolumeEnd);
    if (StartsWith(rest, kVolumeWord) && volumeEnd >= 0) {
        const int volume = PlainNumber(rest.Mid(4, volumeEnd - 1));
        mplay.volume = volume < 0 ? 0 : (volume > 100 ? 100 : volume);
        rest = rest.From(volumeEnd + 2);
    }
    mplay.file = rest.Unquote();
    return mplay;
}

WString ComposeMplayParameter(const MplayParameter& mplay) {
    WString text;
    if (mplay.repeat) text += kRepeatWord;
    if (mplay.volume > 0) {
        text += kVolumeWord;
        text += WString(mplay.volume > 100 ? 100 : mplay.volume);
        text += kVolumeEnd;
    }
    text += mplay.file;
    return text;
}

ExitParameter ParseExitParameter(const WString& parameter) {
    ExitParameter exit;
    const bool powerOff = Contains(parameter, kExitPowerOffWord);
    const bool sleep = Contains(parameter, kExitSleepWord);
    const bool hibernate = Contains(parameter, kExitHibernateWord);
    const bool restart = Contains(parameter, kExitRestartWord);
    exit.hasMethodWord = powerOff || sleep || hibernate || restart;
    if (sleep)
        exit.method = ExitMethod::Sleep;
    else if (hibernate)
        exit.method = ExitMethod::Hibernate;
    else if (!powerOff && restart)
        exit.method = ExitMethod::Restart;
    exit.force = Contains(parameter, kExitForceWord);

    const int waitAt = parameter.Find(kExitWaitWord);
    if (waitAt >= 0) {
        exit.hasWait = true;
        exit.title = parameter.Left(waitAt) + kTitleEnd;
        const WString after = parameter.From(waitAt + static_cast<int>(std::wcslen(kExitWaitWord)));
        const int unitAt = after.Find(kWaitUnit);
        if (unitAt >= 0) {
            const int wait = PlainNumber(after.Left(unitAt));
            exit.waitValid = wait >= 0;
            exit.wait = wait < 0 ? 0 : wait;
        }
    }
    return exit;
}

WString ComposeExitParameter(const ExitParameter& exit) {
    WString text;
    switch (exit.method) {
    case ExitMethod::PowerOff: text = kExitPowerOffWord; break;
    case ExitMethod::Sleep: text = kExitSleepWord; break;
    case ExitMethod::Hibernate: text = kExitHibernateWord; break;
    case ExitMethod::Restart: text = kExitRestartWord; break;
    }
    const bool stops = exit.method == ExitMethod::PowerOff || exit.method == ExitMethod::Restart;
    if (exit.force && stops) {
        text += L" ";
        text += kExitForceWord;
    }
    if (exit.wait > 0) {
        text += L" ";
        text += kExitWaitWord;
        text += WString(exit.wait);
        text += kWaitUnit;
    }
    return text;
}

KabeParameter ParseKabeParameter(const WString& parameter) {
    KabeParameter kabe;
    for (int i = 0; i < kKabeStyleCount; ++i) {
        if (StartsWith(parameter, kKabeStyleWords[i])) {
            kabe.valid = true;
            kabe.style = i;
            kabe.path = parameter.From(static_cast<int>(std::wcslen(kKabeStyleWords[i])) + 1);
            return kabe;
        }
    }
    if (parameter == kKabeNoneWord) {
        kabe.valid = true;
        kabe.none = true;
    }
    return kabe;
}

WString ComposeKabeParameter(const KabeParameter& kabe) {
    if (kabe.none) return WString(kKabeNoneWord);
    const int style = kabe.style >= 0 && kabe.style < kKabeStyleCount ? kabe.style : 0;
    return WString(kKabeStyleWords[style]) + L" " + kabe.path;
}

const wchar_t* MplayParameterRefusal(const WString& parameter) {
    const WString file = ParseMplayParameter(parameter).file;
    if (file.at(1) == L':' && file.at(2) == L'\\') return nullptr;
    return L"ファイル名が入力されていません";
}

const wchar_t* ExitParameterRefusal(const WString& parameter) {
    const ExitParameter exit = ParseExitParameter(parameter);
    if (parameter.empty()) return L"終了パラメータが入力されていません";
    if (!exit.hasMethodWord) return L"Windows 終了パラメータエラー";
    if (exit.hasWait && !exit.waitValid) return L"待機時間指定エラー";
    return nullptr;
}

Refusal CheckActionParameter(int action, const WString& parameter, bool atStart) {
    const wchar_t* refusal = nullptr;
    switch (action) {
    case kActMsg:
    case kActNotice:
    case kActBlink:
    case kAct3DText:
        if (parameter.empty()) refusal = L"メッセージが入力されていません";
        break;
    case kActMplay: refusal = MplayParameterRefusal(parameter); break;
    case kActScreen:
        if (parameter != kKabeNoneWord && ExtensionOf(parameter.Unquote()).Upper() != L"SCR")
            refusal = L"スクリーンセーバーファイル名を入力して下さい";
        break;
    case kActKabe: {
        // The style word counts only with its blank.
        const KabeParameter kabe = ParseKabeParameter(parameter);
        const bool valid =
            kabe.valid &&
            (kabe.none || parameter.at(static_cast<int>(std::wcslen(kKabeStyleWords[kabe.style]))) == L' ');
        if (!valid) refusal = L"正しい壁紙ファイル名を入力して下さい";
        break;
    }
    case kActShell:
        if (parameter.empty()) refusal = L"ＤＯＳコマンドが入力されていません";
        break;
    case kActExit:
        refusal = ExitParameterRefusal(parameter);
        if (refusal == nullptr && atStart)
            return Refusal{LineField::AtStart, L"起動時にパソコンの停止・リブートを指定しています"};
        break;
    default: return Refusal{LineField::Action, L"動作を選択して下さい"};
    }
    return Refusal{refusal != nullptr ? LineField::Parameter : LineField::None, refusal};
}
