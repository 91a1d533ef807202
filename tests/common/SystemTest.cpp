#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/Paths.h"
#include "common/System.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(SplitCommandLine, Table) {
    struct Case { const wchar_t* line; const wchar_t* program; const wchar_t* arguments; };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Orrivane\\ZAVSet.exe\" set", L"C:\\Program Files\\Orrivane\\ZAVSet.exe", L"set"},
        {L"ZAVSet.exe", L"ZAVSet.exe", L""},
        {L"ZAV.exe    /R   x ", L"ZAV.exe", L"/R   x"},
        {L"\"C:\\a b\\ZAV.exe\"", L"C:\\a b\\ZAV.exe", L""},
        {L"\"C:\\a b\\ZAV.exe\"/R", L"C:\\a b\\ZAV.exe", L"/R"},
        {L"\" C:\\x.exe \"  a  b  ", L"C:\\x.exe", L"a  b"},
        {L"\"\" rest", L"", L"rest"},
        // A quote that is never closed: the whole rest is the program, no arguments.
        {L"\"C:\\Program Files\\ZAV.exe set", L"C:\\Program Files\\ZAV.exe set", L""},
        {L"\"", L"", L""},
    };
    for (const Case& c : cases) {
        CommandLine split = SplitCommandLine(c.line);
        EXPECT_STREQ(c.program, split.program.text()) << "program of [" << Narrow(c.line) << "]";
        EXPECT_STREQ(c.arguments, split.arguments.text()) << "arguments of [" << Narrow(c.line) << "]";
    }
}

TEST(SplitCommandLine, EmptyLineTakesTheOwnCommandLine) {
    CommandLine own = SplitCommandLine();
    wchar_t modulePath[MAX_PATH];
    GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    WString expected = FileNameOf(modulePath).Lower();
    WString name = FileNameOf(own.program).Lower();
    EXPECT_STREQ(expected.text(), name.text()) << "program: " << Narrow(own.program)
                                                   << " from: " << Narrow(GetCommandLineW());
}

TEST(QuoteCommand, Table) {
    struct Case { const wchar_t* program; const wchar_t* arguments; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\Program Files\\x.exe", L"-a b", L"\"C:\\Program Files\\x.exe\" -a b"},
        {L"C:\\x.exe", L"", L"C:\\x.exe"},
        {L"C:\\x.exe", L"/q", L"C:\\x.exe /q"},
        {L"C:\\my dir\\x.exe", L"", L"\"C:\\my dir\\x.exe\""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, QuoteCommand(c.program, c.arguments).text())
            << "program [" << Narrow(c.program) << "] arguments [" << Narrow(c.arguments) << "]";
    }
}

TEST(GetOsLevel, ProjectPrefixIsWindows10) {
    // The project's prefix is set to Windows 10 and the test program carries
    // the manifest; Wine cannot report Windows 11.
    BoxRecorder boxes;
    BOOL wow64 = FALSE;
    int elevation = -1;
    EXPECT_EQ(kOs10, GetOsLevel(&wow64, &elevation));
    EXPECT_TRUE(boxes.boxes().empty()) << "no unsupported-OS box and no token error";
    // Wine gives every program a full (elevated) token: elevation code 3.
    // On Windows with UAC a program started normally gets 2 instead.
    EXPECT_EQ(kElevationFull, elevation);
#ifdef _WIN64
    EXPECT_FALSE(wow64);
#else
    EXPECT_TRUE(wow64) << "the 32-bit test runs in a 64-bit prefix";
#endif
    EXPECT_EQ(kOs10, GetOsLevel(nullptr, nullptr)) << "the outputs are optional";
}

TEST(InstanceMutex, SecondProcessSeesTheFirstOne) {
    WString name(L"Orrivane test mutex ");
    name += WString(static_cast<int>(GetCurrentProcessId()));
    WString otherName = name + L" other";

    // Nobody holds the other name: the child creates that mutex itself.
    EXPECT_EQ(1u, RunProbe(L"mutex " + otherName));

    InstanceMutex first(name.text());
    ASSERT_TRUE(first.created());
    ASSERT_NE(nullptr, first.handle());
    EXPECT_EQ(2u, RunProbe(L"mutex " + name)) << "the child must see the mutex of this process";

    InstanceMutex second(name.text());
    EXPECT_FALSE(second.created()) << "a second guard in the same process sees it too";
    EXPECT_EQ(nullptr, second.handle()) << "the opened handle is closed and not kept";
    second.Release();  // nothing to release: must be harmless
    first.Release();
    CloseHandle(first.handle());
    InstanceMutex afterClose(name.text());
    EXPECT_TRUE(afterClose.created()) << "once the last handle is closed the name is free";
    afterClose.Release();
    CloseHandle(afterClose.handle());
}

TEST(InstanceMutex, AMutexThatCannotBeOpenedIsHeldByAnother) {
    // A mutex made by an elevated program cannot be opened by a program of
    // the same user without elevation: its open fails with access denied,
    // not with "not found". An empty DACL gives that refusal to everyone.
    WString name(L"Orrivane denied mutex ");
    name += WString(static_cast<int>(GetCurrentProcessId()));
    SECURITY_DESCRIPTOR descriptor;
    ACL emptyDacl;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(InitializeAcl(&emptyDacl, sizeof(emptyDacl), ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyDacl, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    HANDLE held = CreateMutexW(&attributes, TRUE, name.text());
    ASSERT_NE(nullptr, held);
    ASSERT_EQ(nullptr, OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.text()))
        << "the empty DACL must refuse the open (Wine enforces it as Windows does)";
    ASSERT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());

    EXPECT_EQ(2u, RunProbe(L"mutex " + name)) << "the child must not take a refused name as free";
    InstanceMutex second(name.text());
    EXPECT_FALSE(second.created()) << "expected created false for a name another holds";
    EXPECT_EQ(nullptr, second.handle());
    ReleaseMutex(held);
    CloseHandle(held);
}

// Two starts at one instant: both find no mutex to open, and the later
// CreateMutexW gets the earlier one's mutex (ERROR_ALREADY_EXISTS) or fails
// (here: the name belongs to another kind of object). Neither may count as
// its own.
TEST(InstanceMutex, ACreateThatFindsTheNameTakenIsHeldByAnother) {
    WString name(L"Orrivane taken name ");
    name += WString(static_cast<int>(GetCurrentProcessId()));
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.text());
    ASSERT_NE(nullptr, event);
    InstanceMutex guard(name.text());
    EXPECT_FALSE(guard.created()) << "a name CreateMutexW could not take was taken as free";
    EXPECT_EQ(nullptr, guard.handle());
    guard.Release();
    CloseHandle(event);
}

struct RacingStart {
    const wchar_t* name;
    volatile LONG stop;
};

// Another start of the same program, over and over: makes the mutex, holds
// it a moment, lets it go.
DWORD WINAPI StartAgainAndAgain(void* data) {
    auto* race = static_cast<RacingStart*>(data);
    while (race->stop == 0) {
        HANDLE mutex = CreateMutexW(nullptr, TRUE, race->name);
        if (mutex == nullptr) continue;
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return 0;
}

// Each guard that says it created the mutex must own it: a create that met
// the other start's mutex (ERROR_ALREADY_EXISTS) got a handle to a mutex it
// does not own, and both programs ran.
TEST(InstanceMutex, AStartRacingAnotherNeverTakesItsMutexForItsOwn) {
    WString name(L"Orrivane racing mutex ");
    name += WString(static_cast<int>(GetCurrentProcessId()));
    RacingStart race{name.text(), 0};
    HANDLE other = CreateThread(nullptr, 0, StartAgainAndAgain, &race, 0, nullptr);
    ASSERT_NE(nullptr, other);
    int created = 0;
    int notOwned = 0;
    for (int i = 0; i < 3000; ++i) {
        InstanceMutex guard(name.text());
        if (!guard.created()) continue;
        ++created;
        // Only the owner can release a mutex.
        if (!ReleaseMutex(guard.handle())) ++notOwned;
        CloseHandle(guard.handle());
    }
    InterlockedExchange(&race.stop, 1);
    WaitForSingleObject(other, INFINITE);
    CloseHandle(other);
    EXPECT_EQ(0, notOwned) << "of " << created << " guards that said they created the mutex";
}

class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ~ComScope() { if (SUCCEEDED(hr_)) CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

struct LinkContents {
    bool loaded = false;
    std::wstring path;
    std::wstring arguments;
    std::wstring directory;
};

LinkContents ReadLink(const WString& linkPath) {
    LinkContents contents;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return contents;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(linkPath.text(), STGM_READ))) {
            wchar_t text[MAX_PATH] = L"";
            contents.loaded = true;
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            contents.path = text;
            text[0] = L'\0';
            link->GetArguments(text, MAX_PATH);
            contents.arguments = text;
            text[0] = L'\0';
            link->GetWorkingDirectory(text, MAX_PATH);
            contents.directory = text;
        }
        file->Release();
    }
    link->Release();
    return contents;
}

// An empty ZAV.exe in a fresh folder: the target a link points to.
class CreateShortcutTest : public testing::Test {
protected:
    void SetUp() override {
        target_ = JoinPath(folder_.path(), L"ZAV.exe");
        ASSERT_TRUE(CreateEmptyFile(target_)) << Narrow(target_);
    }

    ComScope com_;
    TempFolder folder_;
    WString target_;
};

TEST_F(CreateShortcutTest, WritesALinkToTheTarget) {
    WString linkPath = JoinPath(folder_.path(), L"ZAV.lnk");
    ASSERT_TRUE(CreateShortcut(linkPath, target_, L"/R", false));
    ASSERT_TRUE(PathExists(linkPath));
    LinkContents contents = ReadLink(linkPath);
    ASSERT_TRUE(contents.loaded);
    EXPECT_EQ(0, lstrcmpiW(target_.text(), contents.path.c_str()))
        << "expected " << Narrow(target_) << ", got " << Narrow(contents.path.c_str());
    EXPECT_EQ(L"/R", contents.arguments);
    EXPECT_EQ(0, lstrcmpiW(folder_.path().text(), contents.directory.c_str()))
        << "expected " << Narrow(folder_.path()) << ", got " << Narrow(contents.directory.c_str());
}

TEST_F(CreateShortcutTest, RunAsLinkIsWritten) {
    WString linkPath = JoinPath(folder_.path(), L"elevated.lnk");
    // Wine accepts SLDF_RUNAS_USER but does not store it, so only the steps
    // succeeding and the link being written are checked here.
    EXPECT_TRUE(CreateShortcut(linkPath, target_, L"", true));
    EXPECT_TRUE(PathExists(linkPath));
}

TEST_F(CreateShortcutTest, UnwritableLinkPathFails) {
    WString linkPath = JoinPath(folder_.path(), L"missing folder\\ZAV.lnk");
    EXPECT_FALSE(CreateShortcut(linkPath, target_, L"", false));
    EXPECT_FALSE(PathExists(linkPath));
}

}  // namespace
