#include "alarm/Media.h"

#include <commctrl.h>
#include <vfw.h>

#include "alarm/Actions.h"
#include "alarm/SystemCalls.h"
#include "alarm/TrayAlarm.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Process.h"
#include "schedule/ActionParameters.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr DWORD kPlayerStyle =
    MCIWNDF_NOMENU | MCIWNDF_SHOWNAME | MCIWNDF_SHOWPOS | MCIWNDF_SHOWMODE | MCIWNDF_NOERRORDLG;  // 0x4078
constexpr DWORD kPollMs = 500;

// Counts players: a newer Mplay (performed inside an older one's wait)
// closes every device, and the older one must then end without a word.
unsigned playerSerial = 0;

bool QuitPending() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

void ReportMci(LRESULT error, const wchar_t* name) {
    if (error == 0) return;
    wchar_t text[260] = {};
    mciGetErrorStringW(static_cast<MCIERROR>(error), text, 259);
    ShowError((WString(name) + L" " + text).text());
}

LRESULT Send(const MediaPlayer& player, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(player.window, message, wParam, lParam);
}

LONG ModeOf(const MediaPlayer& player) {
    wchar_t name[64] = {};
    return static_cast<LONG>(Send(player, MCIWNDM_GETMODEW, ARRAYSIZE(name), reinterpret_cast<LPARAM>(name)));
}

constexpr UINT_PTR kStopWatch = 1;

// Notes a stop or pause sent to the player (its play bar, or another
// program) while it repeats. The position cannot tell under Wine: a stopped
// wave device reports the end position, as if it had played to the end.
LRESULT CALLBACK WatchStops(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == MCI_STOP || message == MCI_PAUSE) reinterpret_cast<MediaPlayer*>(data)->interrupted = true;
    return DefSubclassProc(window, message, wParam, lParam);
}

void StopEveryDevice() {
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parms));
    mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parms));
}

DWORD TrackStatus(UINT device, int track, DWORD item) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = item;
    status.dwTrack = static_cast<DWORD>(track);
    mciSendCommandW(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK, reinterpret_cast<DWORD_PTR>(&status));
    return static_cast<DWORD>(status.dwReturn);
}

void OpenPlayer(MediaPlayer& player, const WString& file) {
    StopEveryDevice();
    ++playerSerial;
    player.file = file;
    player.track = CdTrackOf(file);
    player.window = MCIWndCreateW(nullptr, g_zavInstance, kPlayerStyle, file.text());
    if (player.window != nullptr) {
        // No system menu: no close box that would end the device under the wait.
        const LONG style = GetWindowLongW(player.window, GWL_STYLE);
        SetLastError(0);
        const LONG previous = SetWindowLongW(player.window, GWL_STYLE, style & ~WS_SYSMENU);
        CheckWin32(previous != 0 || GetLastError() == 0, "SetWindowLong");
        SetWindowPos(player.window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        SetWindowSubclass(player.window, WatchStops, kStopWatch, reinterpret_cast<DWORD_PTR>(&player));
    }
    const UINT device = static_cast<UINT>(Send(player, MCIWNDM_GETDEVICEID));
    if (device != 0 && player.track > 0) {
        const DWORD length = TrackStatus(device, player.track, MCI_STATUS_LENGTH);
        player.start = static_cast<LONG>(TrackStatus(device, player.track, MCI_STATUS_POSITION));
        player.end = player.start + static_cast<LONG>(length);
    } else {
        player.track = -1;
        player.start = static_cast<LONG>(Send(player, MCIWNDM_GETSTART));
        player.end = static_cast<LONG>(Send(player, MCIWNDM_GETEND));
    }
}

void StartPlaying(const MediaPlayer& player) {
    if (player.track < 0) {
        ReportMci(Send(player, MCI_PLAY), L"MCIWndPlay");
        return;
    }
    LRESULT error = Send(player, MCI_SEEK, 0, player.start);
    if (error == 0) error = Send(player, MCIWNDM_PLAYTO, 0, player.end);
    ReportMci(error, L"MCIWndPlayFromTo");
}

// Waits while the device plays, dispatching messages as they come and
// asking the mode every 500 ms. False when the wait ended because ZAV is
// ending (a quit is pending) or a newer player took over.
bool WaitWhilePlaying(const MediaPlayer& player, unsigned serial) {
    DWORD next = GetTickCount() + kPollMs;
    for (;;) {
        PumpMessages();
        if (QuitPending() || serial != playerSerial) return false;
        const DWORD now = GetTickCount();
        const LONG left = static_cast<LONG>(next - now);
        if (left <= 0) {
            if (ModeOf(player) != MCI_MODE_PLAY) return true;
            next = now + kPollMs;
            continue;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void ClosePlayer(MediaPlayer& player, bool reportStop) {
    RemoveWindowSubclass(player.window, WatchStops, kStopWatch);
    const LRESULT stopped = Send(player, MCI_STOP);
    if (reportStop) ReportMci(stopped, L"MCIWndStop");
    Send(player, MCI_CLOSE);
    Send(player, WM_CLOSE);
}

}  // namespace

int CdTrackOf(const WString& file) {
    const WString name = FileNameOf(file);
    if (ExtensionOf(file).Lower() != L"cda" || !name.StartsWithNoCase(L"track")) return -1;
    const int dot = name.FindLast(L'.');
    const WString digits = name.Mid(5, dot - 1);
    if (digits.empty()) return -1;
    for (int i = 0; i < digits.length(); ++i) {
        if (digits.at(i) < L'0' || digits.at(i) > L'9') return -1;
    }
    const int track = digits.ToInt(0);
    return track > 0 ? track : -1;
}

bool ReachedEnd(LONG end, LONG position) {
    const DWORD e = static_cast<DWORD>(end);
    const DWORD p = static_cast<DWORD>(position);
    const double distance = e > p ? static_cast<double>(e - p) : static_cast<double>(p - e);
    return distance <= static_cast<double>(e) / 1000.0;
}

VolumeGuard::VolumeGuard(ComPtr<IAudioEndpointVolume> endpoint) : endpoint_(std::move(endpoint)) {
    ready_ = endpoint_ && SUCCEEDED(endpoint_->GetMasterVolumeLevelScalar(&saved_));
}

VolumeGuard::~VolumeGuard() {
    if (ready_) endpoint_->SetMasterVolumeLevelScalar(saved_, nullptr);
}

int VolumeGuard::Percent() const {
    float level = 0.0f;
    if (!ready_ || FAILED(endpoint_->GetMasterVolumeLevelScalar(&level))) return 0;
    return static_cast<int>(level * 100.0f);
}

void VolumeGuard::SetPercent(int percent) {
    if (ready_) endpoint_->SetMasterVolumeLevelScalar(static_cast<float>(percent) / 100.0f, nullptr);
}

ComPtr<IAudioEndpointVolume> OpenDefaultEndpointVolume() {
    ComPtr<IAudioEndpointVolume> endpoint;
    if (FAILED(g_systemCalls.openEndpointVolume(&endpoint))) return nullptr;
    return endpoint;
}

void Mplay(const WString& parameter) {
    const MplayParameter mplay = ParseMplayParameter(parameter);
    if (mplay.file.length() > kLongestFileName) {
        ShowError(L"再生できません", g_trayAlarm != nullptr ? g_trayAlarm->mainWindow : nullptr);
        return;
    }
    MediaPlayer player;
    OpenPlayer(player, mplay.file);
    const unsigned serial = playerSerial;
    VolumeGuard guard(OpenDefaultEndpointVolume());
    const bool setVolume = mplay.volume > 0 && guard.ready();
    const int before = setVolume ? guard.Percent() : 0;
    if (setVolume) guard.SetPercent(mplay.volume);

    // Without an end the position cannot tell the end from a pause: once only.
    const bool repeat = mplay.repeat && player.end != 0;
    bool played = false;
    for (;;) {
        if (Send(player, MCIWNDM_CAN_PLAY) == 0) {
            ShowError(L"再生できません", player.window);
            break;
        }
        StartPlaying(player);
        played = true;
        if (!WaitWhilePlaying(player, serial) || !repeat) break;
        // Stopped, paused or moved by the user: the repetition ends. The mode
        // cannot tell, a device that played to its end reports "stopped" too;
        // a device that is no longer there (not ready) ends it as well.
        if (player.interrupted || ModeOf(player) == MCI_MODE_NOT_READY ||
            !ReachedEnd(player.end, static_cast<LONG>(Send(player, MCIWNDM_GETPOSITIONW)))) {
            break;
        }
        Send(player, MCI_SEEK, 0, player.start);
    }

    if (setVolume) guard.SetPercent(before);
    // A newer player closed this device already: its stop would only fail.
    ClosePlayer(player, played && serial == playerSerial);
}
