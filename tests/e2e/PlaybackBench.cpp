// ZAV's CPU while it plays a sound for 10 s (Mplay's wait polls every 500 ms
// and sleeps in between), beside the same ZAV idle for 10 s before it.
// Playback takes its real time only with a sound device: under `make bench`
// without one the figure says so. tests/e2e/with-null-sink.sh provides one.
#include <windows.h>

#include <cstdio>

#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "tests/alarm/WaveFile.h"
#include "tests/e2e/BenchSupport.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kSeconds = 10;


// CPU of ZAV in milliseconds over kSeconds, and the wall time in ms.
double Measure(const ZavProcess& zav, double* wallMs) {
    const double start = CpuTicks(zav.handle()) / 10000.0;
    const ULONGLONG wallStart = GetTickCount64();
    WaitUntil([] { return false; }, kSeconds * 1000);
    *wallMs = static_cast<double>(GetTickCount64() - wallStart);
    return CpuTicks(zav.handle()) / 10000.0 - start;
}

}  // namespace

int wmain() {
    Sandbox sandbox;
    sandbox.InstallSettingsProgram(StandInProgramPath());
    sandbox.WriteSchedule({StartRecord(L"Msg", L"保留", L'X')});
    const std::wstring wave = sandbox.PathOf(L"long.wav");
    if (!WriteWaveFile(wave, kSeconds + 2)) {
        std::printf("could not write the sound file\n");
        return 1;
    }
    ZavProcess zav;
    if (!zav.Start(sandbox) || zav.WaitForWindow() == nullptr) {
        std::printf("ZAV did not start\n");
        return 1;
    }
    double idleWall = 0;
    const double idle = Measure(zav, &idleWall);

    const std::wstring actionText = L"Mplay  " + wave;
    const int bytes = static_cast<int>((actionText.size() + 1) * sizeof(wchar_t));
    SharedBlock block;
    if (!block.create(kTestRunBlockName, bytes) || !block.write(actionText.c_str(), bytes)) {
        std::printf("could not write the test-run block\n");
        return 1;
    }
    AsyncSend run(zav.window(), ControlMessage(), 2, 0);
    double playWall = 0;
    const double playing = Measure(zav, &playWall);
    // The test run is answered at once: the player still there tells it plays.
    const bool played = FindWindowW(L"MCIWndClass", nullptr) != nullptr;
    run.Wait(kWaitMs);
    zav.Close();

    std::printf("ZAV idle %.1f s: CPU %.0f ms = %.3f %% of one core\n", idleWall / 1000, idle, 100 * idle / idleWall);
    std::printf("ZAV playing %.1f s: CPU %.0f ms = %.3f %% of one core (goal: as idle)%s\n", playWall / 1000, playing,
                100 * playing / playWall, played ? "" : " [no sound device: playback ended at once]");
    return 0;
}
