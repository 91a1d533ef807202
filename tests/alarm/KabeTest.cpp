#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>  // before shlobj.h: IActiveDesktop is declared only with it
#include <shlobj.h>

#include <string>

#include "alarm/Wallpaper.h"
#include "common/Handles.h"
#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"

void Kabe(const WString& parameter);

namespace {

// An Active Desktop that records what it is told and answers as set.
class FakeDesktop : public IActiveDesktop {
public:
    HRESULT pathAnswer = S_OK;
    HRESULT optionsAnswer = S_OK;
    HRESULT applyAnswer = S_OK;
    std::wstring path;
    WALLPAPEROPT options = {};
    DWORD applyFlags = 0;
    int applied = 0;
    ULONG references = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IActiveDesktop) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP ApplyChanges(DWORD flags) override {
        ++applied;
        applyFlags = flags;
        return applyAnswer;
    }
    STDMETHODIMP SetWallpaper(PCWSTR wallpaper, DWORD) override {
        path = wallpaper;
        return pathAnswer;
    }
    STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT wallpaperOptions, DWORD) override {
        options = *wallpaperOptions;
        return optionsAnswer;
    }
    STDMETHODIMP GetWallpaper(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetPattern(PCWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemCount(int*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) override { return E_NOTIMPL; }
};

FakeDesktop* g_desktop = nullptr;  // nullptr: the object cannot be made
int g_created = 0;
// What SystemParametersInfoW was asked, and its answer.
UINT g_spiAction = 0;
std::wstring g_spiPath;
UINT g_spiFlags = 0;
int g_spiCalls = 0;
BOOL g_spiAnswer = TRUE;

HRESULT CreateFakeDesktop(IActiveDesktop** desktop) {
    ++g_created;
    if (g_desktop == nullptr) return REGDB_E_CLASSNOTREG;
    g_desktop->AddRef();
    *desktop = g_desktop;
    return S_OK;
}

BOOL WINAPI RecordSpi(UINT action, UINT, PVOID value, UINT flags) {
    ++g_spiCalls;
    g_spiAction = action;
    g_spiPath = static_cast<const wchar_t*>(value);
    g_spiFlags = flags;
    return g_spiAnswer;
}

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

std::wstring DesktopValue(const wchar_t* name) {
    wchar_t value[64] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
        return L"(missing)";
    }
    return value;
}

// The two style values of the test prefix's desktop, put back at the end.
class DesktopValuesScope {
public:
    DesktopValuesScope() : style_(DesktopValue(L"WallpaperStyle")), tile_(DesktopValue(L"TileWallpaper")) {}
    ~DesktopValuesScope() {
        Restore(L"WallpaperStyle", style_);
        Restore(L"TileWallpaper", tile_);
    }

private:
    static void Restore(const wchar_t* name, const std::wstring& value) {
        HKEY raw = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
        UniqueRegKey key(raw);
        if (value == L"(missing)") {
            RegDeleteValueW(key.get(), name);
        } else {
            RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
    }
    std::wstring style_;
    std::wstring tile_;
};

class KabeAction : public ::testing::Test {
protected:
    void SetUp() override {
        TestTray();
        g_desktop = &desktop;
        g_created = 0;
        g_spiCalls = 0;
        g_spiPath.clear();
        g_spiAnswer = TRUE;
        g_systemCalls.createActiveDesktop = CreateFakeDesktop;
        g_systemCalls.setWallpaperInfo = RecordSpi;
    }
    void TearDown() override { g_desktop = nullptr; }

    std::string Boxes() const {
        std::string all;
        for (const RecordedBox& box : boxes.boxes()) all += "[" + Narrow(box.text) + "] ";
        return all;
    }

    SystemCallsScope scope;
    DesktopValuesScope values;
    BoxRecorder boxes;
    FakeDesktop desktop;
};

struct StyleCase {
    const wchar_t* parameter;
    DWORD style;
    const wchar_t* path;
    const wchar_t* wallpaperStyle;  // the desktop's own values, for the fallback
    const wchar_t* tileWallpaper;
};

const StyleCase kStyles[] = {
    {L"Center C:\\pic.bmp", 0, L"C:\\pic.bmp", L"0", L"0"},
    {L"Tile C:\\pic.bmp", 1, L"C:\\pic.bmp", L"0", L"1"},
    {L"Expand C:\\a b\\pic.jpg", 2, L"C:\\a b\\pic.jpg", L"2", L"0"},
    {L"XSize C:\\pic.png", 3, L"C:\\pic.png", L"6", L"0"},
    {L"XPage C:\\pic.png", 4, L"C:\\pic.png", L"10", L"0"},
    {L"Span C:\\pic.jpg", 5, L"C:\\pic.jpg", L"22", L"0"},
    {L"Tile  C:\\pic.bmp", 1, L" C:\\pic.bmp", L"0", L"1"},
    {L"(なし)", 0, L"", L"0", L"0"},
};

TEST_F(KabeAction, ActiveDesktopGetsPathStyleRecordOfSize8AndApplyAll) {
    for (const StyleCase& c : kStyles) {
        desktop.applied = 0;
        Kabe(c.parameter);
        EXPECT_EQ(Narrow(desktop.path), Narrow(c.path)) << Narrow(c.parameter);
        EXPECT_EQ(desktop.options.dwSize, 8u);
        EXPECT_EQ(desktop.options.dwStyle, c.style) << Narrow(c.parameter);
        EXPECT_EQ(desktop.applied, 1);
        EXPECT_EQ(desktop.applyFlags, 7u);
    }
    EXPECT_EQ(desktop.references, 0u) << "the object was not released";
    EXPECT_EQ(g_spiCalls, 0);
    EXPECT_TRUE(boxes.boxes().empty()) << Boxes();
}

TEST_F(KabeAction, UnknownWordShowsOnlyItsBoxAndChangesNothing) {
    Kabe(L"center C:\\x.bmp");
    ASSERT_EQ(boxes.boxes().size(), 1u) << Boxes();
    EXPECT_EQ(Narrow(boxes.boxes()[0].text), "SetKabeNormal ERROR");
    EXPECT_EQ(boxes.boxes()[0].owner, TestTray().mainWindow);
    EXPECT_EQ(boxes.boxes()[0].style, 0x50010u);
    EXPECT_EQ(g_created, 0);
    EXPECT_EQ(g_spiCalls, 0);
}

TEST_F(KabeAction, AnyFailingCallOfTheObjectShowsTheFailureBox) {
    const struct {
        HRESULT path, options, apply;
    } cases[] = {{S_OK, S_OK, E_FAIL}, {S_OK, S_OK, S_FALSE}, {E_FAIL, S_OK, S_OK}, {S_OK, E_INVALIDARG, S_OK}};
    for (const auto& c : cases) {
        BoxRecorder recorder;
        desktop.pathAnswer = c.path;
        desktop.optionsAnswer = c.options;
        desktop.applyAnswer = c.apply;
        Kabe(L"Tile C:\\pic.bmp");
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(Narrow(recorder.boxes()[0].text), "壁紙の変更に失敗しました");
        EXPECT_EQ(recorder.boxes()[0].owner, TestTray().mainWindow);
    }
    EXPECT_EQ(g_spiCalls, 0);
}

// Wine's object answers E_NOTIMPL to all three calls; editions without it
// fail to make it: the desktop's own settings take the change instead.
TEST_F(KabeAction, RefusedOrMissingObjectFallsBackToTheDesktopSettings) {
    desktop.pathAnswer = E_NOTIMPL;
    desktop.optionsAnswer = E_NOTIMPL;
    desktop.applyAnswer = E_NOTIMPL;
    for (FakeDesktop* object : {&desktop, static_cast<FakeDesktop*>(nullptr)}) {
        g_desktop = object;
        for (const StyleCase& c : kStyles) {
            g_spiCalls = 0;
            Kabe(c.parameter);
            EXPECT_EQ(g_spiCalls, 1) << Narrow(c.parameter);
            EXPECT_EQ(g_spiAction, static_cast<UINT>(SPI_SETDESKWALLPAPER));
            EXPECT_EQ(g_spiFlags, static_cast<UINT>(SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
            EXPECT_EQ(Narrow(g_spiPath), Narrow(c.path)) << Narrow(c.parameter);
            EXPECT_EQ(Narrow(DesktopValue(L"WallpaperStyle")), Narrow(c.wallpaperStyle)) << Narrow(c.parameter);
            EXPECT_EQ(Narrow(DesktopValue(L"TileWallpaper")), Narrow(c.tileWallpaper)) << Narrow(c.parameter);
        }
    }
    EXPECT_TRUE(boxes.boxes().empty()) << Boxes();
}

TEST_F(KabeAction, FallbackFailingTooShowsTheBoxOfTheWayThatFailedFirst) {
    g_spiAnswer = FALSE;
    g_desktop = nullptr;
    {
        BoxRecorder recorder;
        Kabe(L"Tile C:\\pic.bmp");
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(Narrow(recorder.boxes()[0].text), "ActiveDesktop がインストールされていません");
    }
    g_desktop = &desktop;
    desktop.applyAnswer = E_NOTIMPL;
    {
        BoxRecorder recorder;
        Kabe(L"Tile C:\\pic.bmp");
        ASSERT_EQ(recorder.boxes().size(), 1u);
        EXPECT_EQ(Narrow(recorder.boxes()[0].text), "壁紙の変更に失敗しました");
    }
}

}  // namespace
