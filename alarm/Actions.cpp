#include "alarm/Actions.h"

#include "alarm/Requester.h"
#include "alarm/TrayAlarm.h"
#include "alarm/resource.h"
#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"

namespace {

constexpr int kParameterIndex = 7;
// Longer than any record ZAVSet writes.
constexpr int kTestRunTextLimit = 65536;

// At most `units` code units of text, one fewer rather than half of a
// surrogate pair.
WString LeadingUnits(const WString& text, int units) {
    if (text.length() <= units) return text;
    return text.Left(IS_HIGH_SURROGATE(text.at(units - 1)) ? units - 1 : units);
}

void RunMplay(const WString& parameter) { Mplay(parameter); }
void RunShell(const WString& parameter) { Shell(g_trayAlarm != nullptr ? g_trayAlarm->mainWindow : nullptr, parameter); }
void RunExit(const WString& parameter) { Exit(IDI_ALARM, parameter); }

struct ActionEntry {
    const wchar_t* word;   // padded to six code units
    void (*perform)(const WString& parameter);
};

// Tried in this order; the first word found at index 0 wins.
const ActionEntry kActions[] = {
    {L"Msg   ", Msg},
    {L"Mplay ", RunMplay},
    {L"Notice", Notice},
    {L"Blink ", Blink},
    {L"Screen", Screen},
    {L"3DText", ThreeDText},
    {L"Kabe  ", Kabe},
    {L"Shell ", RunShell},
    {L"Exit  ", RunExit},
};

}  // namespace

void ActExecute(WString actionText) {
    WString parameter = actionText.From(kParameterIndex);
    for (const ActionEntry& action : kActions) {
        if (actionText.Find(action.word) == 0) {
            action.perform(parameter);
            return;
        }
    }
}

void RunTestRecord() {
    if (g_trayAlarm == nullptr) return;
    SharedBlock block;
    if (!block.open(kTestRunBlockName)) return;
    // Any local program can write ZAV_TEST: only one of at least ZAV's
    // elevation has it performed. The block carries no length: a text without
    // its NUL ends with the mapped pages, and one longer than a record can
    // sensibly be is not read at all (megabytes froze ZAV).
    Identity requester;
    WString actionText;
    bool taken = BlockIdentity(block.mapping(), &requester) && MayTestRun(g_trayAlarm->identity, requester) &&
                 block.readText(&actionText, kTestRunTextLimit);
    block.close();
    if (!taken) return;
    // The sender waits in SendMessageW until this reply, its window frozen,
    // and the action runs outside an input-synchronous call: COM refuses
    // outgoing calls inside one (RPC_E_CANTCALLOUT_ININPUTSYNCCALL), which a
    // Shell of a document opened by a packaged app makes.
    ReplyMessage(0);
    ActExecute(actionText);
}

WString ShownMessage(const WString& message) {
    if (message.length() <= kShownMessageUnits) return message;
    return LeadingUnits(message, kShownMessageUnits) + L"…";
}

void Msg(const WString& parameter) {
    ShowInfo(ShownMessage(parameter).text(), g_trayAlarm != nullptr ? g_trayAlarm->mainWindow : nullptr);
}

void Notice(const WString& parameter) {
    if (g_trayAlarm == nullptr) return;
    NOTIFYICONDATAW& balloon = g_trayAlarm->balloonRecord;
    // The title holds 63 units and its NUL; the rest of the text is dropped.
    WString title = LeadingUnits(parameter, ARRAYSIZE(balloon.szInfoTitle) - 1);
    lstrcpynW(balloon.szInfoTitle, title.text(), ARRAYSIZE(balloon.szInfoTitle));
    g_trayAlarm->notifyIcon(NIM_MODIFY, &balloon);
}

void Blink(const WString& parameter) {
    if (g_trayAlarm == nullptr) return;
    g_trayAlarm->pendingBlinkMessage = parameter;
    ++g_trayAlarm->blinkSerial;
    CheckWin32(SetTimer(g_trayAlarm->mainWindow, kBlinkTimer, g_trayAlarm->blinkPeriod, nullptr),
               "SetTimer ActExecute");
}
