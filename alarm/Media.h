// Playback of the Mplay action in ZAV's small MCI window.
#pragma once

#include <windows.h>
#include <endpointvolume.h>
#include <wrl/client.h>

#include "common/WString.h"

struct MediaPlayer {
    WString file;
    int track = -1;      // the CD track, or -1 for the whole medium
    LONG start = 0;      // in the device's time format
    LONG end = 0;
    HWND window = nullptr;
    bool interrupted = false;  // stopped or paused from outside while it played
};

// "Track03.cda" (any letter case) is track 3; any other name, or a number
// that is missing, malformed or not above 0, plays the whole medium (-1).
int CdTrackOf(const WString& file);

// Playback reached the end when the position is within end / 1000 of it.
bool ReachedEnd(LONG end, LONG position);

// Keeps the output device's master volume for one playback and puts the
// level found at its making back when it goes. Not ready (and touching
// nothing) when the endpoint could not be had or its level not read.
class VolumeGuard {
public:
    explicit VolumeGuard(Microsoft::WRL::ComPtr<IAudioEndpointVolume> endpoint);
    ~VolumeGuard();
    VolumeGuard(const VolumeGuard&) = delete;
    VolumeGuard& operator=(const VolumeGuard&) = delete;

    bool ready() const { return ready_; }
    int Percent() const;           // the current level, cut to a whole percent
    void SetPercent(int percent);

private:
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> endpoint_;
    float saved_ = 0.0f;
    bool ready_ = false;
};

// The default render endpoint's volume (through g_systemCalls); null when COM
// is not initialised or any step fails.
Microsoft::WRL::ComPtr<IAudioEndpointVolume> OpenDefaultEndpointVolume();
