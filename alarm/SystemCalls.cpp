#include "alarm/SystemCalls.h"

#include <shellapi.h>
#include <wininet.h>  // before shlobj.h: IActiveDesktop is declared only with it
#include <shlobj.h>
#include <mmdeviceapi.h>
#include <audiopolicy.h>
#include <endpointvolume.h>
#include <wrl/client.h>

// Every member points at a function of this file, never straight at an
// imported one: the address of an import is known only at run time, which
// would make the table dynamically initialised, and the recording ZAV's own
// initialiser could then run first and be overwritten.
namespace {

HINSTANCE WINAPI RealShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                  INT show) {
    return ShellExecuteW(owner, verb, file, parameters, directory, show);
}

BOOL WINAPI RealExitWindowsEx(UINT flags, DWORD reason) {
    return ExitWindowsEx(flags, reason);
}
BOOL WINAPI RealSetSystemPowerState(BOOL suspend, BOOL force) {
    return SetSystemPowerState(suspend, force);
}
BOOL WINAPI RealSystemParametersInfo(UINT action, UINT parameter, PVOID value, UINT flags) {
    return SystemParametersInfoW(action, parameter, value, flags);
}

HRESULT CreateActiveDesktop(IActiveDesktop** desktop) {
    return CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveDesktop,
                            reinterpret_cast<void**>(desktop));
}

HRESULT OpenEndpointVolume(IAudioEndpointVolume** endpoint) {
    using Microsoft::WRL::ComPtr;
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    ComPtr<IAudioSessionManager> sessions;
    ComPtr<ISimpleAudioVolume> session;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, IID_PPV_ARGS(&enumerator));
    if (SUCCEEDED(hr)) hr = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    if (SUCCEEDED(hr)) hr = device->Activate(__uuidof(IAudioSessionManager), CLSCTX_ALL, nullptr, &sessions);
    if (SUCCEEDED(hr)) hr = sessions->GetSimpleAudioVolume(nullptr, FALSE, &session);
    if (SUCCEEDED(hr)) hr = session->SetMasterVolume(1.0f, nullptr);
    if (SUCCEEDED(hr)) {
        hr = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(endpoint));
    }
    return hr;
}

BOOL WINAPI RealSetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE completion,
                                 LPVOID argument, BOOL resume) {
    return SetWaitableTimer(timer, due, period, completion, argument, resume);
}
BOOL WINAPI RealCancelWaitableTimer(HANDLE timer) {
    return CancelWaitableTimer(timer);
}
EXECUTION_STATE WINAPI RealSetThreadExecutionState(EXECUTION_STATE state) {
    return SetThreadExecutionState(state);
}

}  // namespace

SystemCalls g_systemCalls = {
    RealExitWindowsEx,
    RealSetSystemPowerState,

    // ---- Wallpaper (Kabe) ----
    CreateActiveDesktop,
    RealSystemParametersInfo,

    // ---- Volume (Mplay) ----
    OpenEndpointVolume,

    // ---- Shell ----
    RealShellExecute,

    // ---- Waking from sleep for the next alarm ----
    RealSetWaitableTimer,
    RealCancelWaitableTimer,
    RealSetThreadExecutionState,
};
