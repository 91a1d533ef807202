#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "alarm/Actions.h"
#include "alarm/Media.h"
#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"
#include "tests/alarm/WaveFile.h"

namespace {

TEST(CdTrackOf, ReadsTheNumberAfterTrackOfACdaFile) {
    const struct {
        const wchar_t* file;
        int track;
    } cases[] = {
        {L"D:\\Track03.cda", 3},
        {L"D:\\TRACK12.CDA", 12},
        {L"D:\\track5.Cda", 5},
        {L"Track05.cda", 5},
        {L"D:\\Track00.cda", -1},   // not above 0
        {L"D:\\Track.cda", -1},     // no number
        {L"D:\\Track-2.cda", -1},
        {L"D:\\Track0x.cda", -1},
        {L"D:\\Song.cda", -1},      // the whole disc
        {L"D:\\Track03.wav", -1},
        {L"D:\\Track03.cda.wav", -1},
        {L"C:\\Track\\Track07.cda", 7},
        {L"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(CdTrackOf(c.file), c.track) << Narrow(c.file);
}

TEST(ReachedEnd, AllowsAThousandthOfTheEndAsUnsignedNumbers) {
    const struct {
        LONG end;
        LONG position;
        bool reached;
    } cases[] = {
        {2000, 2000, true}, {2000, 1998, true}, {2000, 1997, false}, {2000, 2002, true}, {2000, 0, false},
        {0, 0, true},       {0, 1, false},      {100000, 99900, true}, {100000, 99899, false},
        {-1, -1, true},     // 4294967295 as unsigned
        {-1, -4294968, true},
        {-1, -4294969, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReachedEnd(c.end, c.position), c.reached) << c.end << " " << c.position;
    }
}

// An endpoint volume that keeps its level in memory and records every set.
class FakeEndpoint : public IAudioEndpointVolume {
public:
    float level = 0.62f;
    bool readable = true;
    std::vector<float> sets;
    ULONG references = 0;

    STDMETHODIMP QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetMasterVolumeLevelScalar(float* value) override {
        if (!readable) return E_NOTIMPL;
        *value = level;
        return S_OK;
    }
    STDMETHODIMP SetMasterVolumeLevelScalar(float value, LPCGUID) override {
        sets.push_back(value);
        level = value;
        return S_OK;
    }
    STDMETHODIMP RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
    STDMETHODIMP UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
    STDMETHODIMP GetChannelCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
    STDMETHODIMP SetChannelVolumeLevel(UINT, float, LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP SetChannelVolumeLevelScalar(UINT, float, LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
    STDMETHODIMP GetChannelVolumeLevelScalar(UINT, float*) override { return E_NOTIMPL; }
    STDMETHODIMP SetMute(WINBOOL, LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP GetMute(WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    STDMETHODIMP QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetVolumeRange(float*, float*, float*) override { return E_NOTIMPL; }
};

FakeEndpoint* g_endpoint = nullptr;

HRESULT OpenFakeEndpoint(IAudioEndpointVolume** endpoint) {
    if (g_endpoint == nullptr) return E_NOTFOUND;
    g_endpoint->AddRef();
    *endpoint = g_endpoint;
    return S_OK;
}

std::string Sets(const std::vector<float>& sets) {
    std::string all;
    for (float v : sets) all += std::to_string(static_cast<int>(v * 100 + 0.5f)) + " ";
    return all;
}

std::string BoxTexts(const BoxRecorder& recorder) {
    std::string all;
    for (const RecordedBox& box : recorder.boxes()) all += "[" + Narrow(box.text) + "] ";
    return all;
}

// Wine here has no audio device: a playable file plays and ends at once,
// so these tests see the player's logic, not the sound.
class MplayAction : public ::testing::Test {
protected:
    void SetUp() override {
        TestTray();
        wave = folder.path().text();
        wave += L"\\bell.wav";
        ASSERT_TRUE(WriteWaveFile(wave, 0.5));
        g_endpoint = &endpoint;
        g_systemCalls.openEndpointVolume = OpenFakeEndpoint;
    }
    void TearDown() override {
        g_endpoint = nullptr;
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
    SystemCallsScope scope;
    BoxRecorder boxes;
    TempFolder folder;
    std::wstring wave;
    FakeEndpoint endpoint;
};

TEST_F(MplayAction, VolumeIsSetDuringPlaybackAndTheEarlierLevelComesBack) {
    Mplay((L"Vol:30% " + wave).c_str());
    EXPECT_EQ(Sets(endpoint.sets), "30 62 62 ");
    EXPECT_FLOAT_EQ(endpoint.level, 0.62f);
    EXPECT_EQ(endpoint.references, 0u) << "the endpoint was not released";

    endpoint.sets.clear();
    Mplay((L"Vol:250% \"" + wave + L"\"").c_str());
    EXPECT_EQ(Sets(endpoint.sets), "100 62 62 ");
    EXPECT_TRUE(boxes.boxes().empty()) << BoxTexts(boxes);
}

TEST_F(MplayAction, WithoutAVolumeOrAReadyGuardTheLevelStays) {
    Mplay(wave.c_str());
    EXPECT_EQ(Sets(endpoint.sets), "62 ");   // only the saved level, on the way out

    endpoint.sets.clear();
    endpoint.readable = false;
    Mplay((L"Vol:50% " + wave).c_str());
    EXPECT_TRUE(endpoint.sets.empty()) << Sets(endpoint.sets);

    g_endpoint = nullptr;   // no device at all
    Mplay((L"Vol:50% " + wave).c_str());
    EXPECT_TRUE(boxes.boxes().empty()) << BoxTexts(boxes);
}

TEST_F(MplayAction, MissingFileShowsOneBoxAndNoStopError) {
    Mplay((std::wstring(folder.path().text()) + L"\\missing.wav").c_str());
    ASSERT_EQ(boxes.boxes().size(), 1u) << BoxTexts(boxes);
    EXPECT_EQ(Narrow(boxes.boxes()[0].text), "再生できません");
    EXPECT_EQ(boxes.boxes()[0].style, 0x50010u);
    EXPECT_NE(boxes.boxes()[0].owner, nullptr) << "the player window owns the box";
}

TEST_F(MplayAction, PendingQuitEndsARepeatingPlayback) {
    // Without a device every play ends at once at the end: a repetition
    // that ignored the quit would never return.
    PostQuitMessage(0);
    Mplay((L"Repeat " + wave).c_str());
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the quit was swallowed";
    EXPECT_TRUE(boxes.boxes().empty()) << BoxTexts(boxes);
}

TEST_F(MplayAction, NewerPlaybackEndsTheOlderOneQuietly) {
    int started = 0;
    LoopDriver driver([&] {
        if (started++ == 0) Mplay(wave.c_str());
    });
    Mplay((L"Repeat " + wave).c_str());
    EXPECT_GE(started, 1);
    EXPECT_TRUE(boxes.boxes().empty()) << BoxTexts(boxes);
    EXPECT_EQ(FindWindowW(L"MCIWndClass", nullptr), nullptr) << "a player window was left open";
}

// Windows this thread creates, by class, while the hook lives.
std::vector<std::wstring> g_created;
LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        g_created.push_back(name);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Wine's MCIWndCreateW overflows its stack from about 2,500 units of file
// name; 1,000 units still come back from it, with a player that cannot play.
TEST_F(MplayAction, ANameLongerThanAPathShowsTheBoxWithoutAPlayer) {
    g_created.clear();
    HHOOK hook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
    Mplay((L"Repeat C:\\" + std::wstring(1000, L'a') + L".wav").c_str());
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(std::count(g_created.begin(), g_created.end(), L"MCIWndClass"), 0) << "MCIWndCreateW was called";
    ASSERT_EQ(boxes.boxes().size(), 1u) << BoxTexts(boxes);
    EXPECT_EQ(Narrow(boxes.boxes()[0].text), "再生できません");
}

}  // namespace
