#include "alarm/Actions.h"

#include "alarm/TrayAlarm.h"
#include "alarm/resource.h"
#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "schedule/ScheduleLine.h"

namespace {

constexpr int kParameterIndex = kParameterColumn - kActionWordColumn;
// Longer than any record ZAVSet writes.
constexpr int kTestRunTextLimit = 65536;

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
    if (action != kNoAction) kPerform[action](actionText.From(kParameterIndex));
}

void RunTestRecord() {
    SharedBlock block;
    if (!block.open(kTestRunBlockName)) return;
    // Any local program can write ZAV_TEST. The block carries no length: a
    // text without its NUL ends with the mapped pages, and one longer than a
    // record can sensibly be is not read at all (megabytes froze ZAV).
    WString actionText;
    if (block.readText(&actionText, kTestRunTextLimit)) ActExecute(actionText);
    block.close();
}

WString ShownMessage(const WString& message) {
    if (message.length() <= kShownMessageUnits) return message;
    int cut = kShownMessageUnits;
    // Not between the two halves of a surrogate pair.
    if (IS_HIGH_SURROGATE(message.at(cut - 1))) --cut;
    return message.Left(cut) + L"…";
}

void Msg(const WString& parameter) {
    ShowInfo(ShownMessage(parameter).text(), g_trayAlarm != nullptr ? g_trayAlarm->mainWindow : nullptr);
}

void Notice(const WString& parameter) {
    if (g_trayAlarm == nullptr) return;
    NOTIFYICONDATAW& balloon = g_trayAlarm->balloonRecord;
    // The title holds 63 units and its NUL; the rest of the text is dropped.
    lstrcpynW(balloon.szInfoTitle, parameter.text(), ARRAYSIZE(balloon.szInfoTitle));
    g_trayAlarm->notifyIcon(NIM_MODIFY, &balloon);
}

void Blink(const WString& parameter) {
    if (g_trayAlarm == nullptr) return;
    g_trayAlarm->pendingBlinkMessage = parameter;
    ++g_trayAlarm->blinkSerial;
    CheckWin32(SetTimer(g_trayAlarm->mainWindow, kBlinkTimer, g_trayAlarm->blinkPeriod, nullptr),
               "SetTimer ActExecute");
}
