#include "alarm/Actions.h"

#include "alarm/Requester.h"
#include "alarm/TrayAlarm.h"
#include "alarm/resource.h"
#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "schedule/ScheduleLine.h"

namespace {

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

// Indexed by the action, in the order of kActionWords.
void (*const kPerform[kActionCount])(const WString& parameter) = {
    Msg, RunMplay, Notice, Blink, Screen, ThreeDText, Kabe, RunShell, RunExit,
};

}  // namespace

void ActExecute(WString actionText) {
    const int action = ActionOf(actionText);
    if (action != kNoAction) kPerform[action](actionText.From(kActionParameterIndex));
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

WString ShownMessage(const WString& message, int units) {
    if (message.length() <= units) return message;
    return LeadingUnits(message, units) + L"…";
}

bool NeedsDisplay(const WString& actionText) {
    const int action = ActionOf(actionText);
    return action == kActMsg || action == kActMplay || action == kActNotice || action == kActBlink;
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
