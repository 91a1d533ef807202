// Shell: how a record's parameter becomes the program, its arguments, its
// folder and its show command. ShellExecuteW is replaced by a recorder.
#include <gtest/gtest.h>

#include "alarm/Actions.h"
#include "alarm/SystemCalls.h"
#include "tests/alarm/AlarmTestSupport.h"

namespace {

struct ShellCall {
    std::wstring verb, file, parameters, directory;
    int show;
};
std::vector<ShellCall> g_calls;
INT_PTR g_answer = 42;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                    INT show) {
    g_calls.push_back({verb, file, parameters, directory, show});
    return reinterpret_cast<HINSTANCE>(g_answer);
}

class ShellRecorder {
public:
    explicit ShellRecorder(INT_PTR answer) : saved_(g_systemCalls.shellExecute) {
        g_calls.clear();
        g_answer = answer;
        g_systemCalls.shellExecute = RecordShellExecute;
    }
    ~ShellRecorder() { g_systemCalls.shellExecute = saved_; }

private:
    decltype(SystemCalls::shellExecute) saved_;
};

struct ShellCase {
    const wchar_t* parameter;
    const wchar_t* file;        // nullptr: nothing started, "Execute Error Code = 2"
    const wchar_t* parameters;
    const wchar_t* directory;
    int show;
};

TEST(Shell, SplitsTheCommandLineAndReportsAnEmptyOneAsAMissingProgram) {
    const ShellCase cases[] = {
        {L"Icon notepad.exe memo.txt", L"notepad.exe", L"memo.txt", L"", SW_MINIMIZE},
        {L"icon notepad.exe", L"icon", L"notepad.exe", L"", SW_SHOWNORMAL},   // the prefix is case-sensitive
        {L"\"C:\\Program Files\\Tool\\tool.exe\" eins  zwei ", L"C:\\Program Files\\Tool\\tool.exe", L"eins  zwei",
         L"C:\\Program Files\\Tool", SW_SHOWNORMAL},
        {L"C:\\tool.exe", L"C:\\tool.exe", L"", L"C:\\", SW_SHOWNORMAL},
        {L"   D:\\a\\b.bat   x  ", L"D:\\a\\b.bat", L"x", L"D:\\a", SW_SHOWNORMAL},
        {L"Icon   \"E:\\x y\\z.exe\"", L"E:\\x y\\z.exe", L"", L"E:\\x y", SW_MINIMIZE},
        {L" Icon x.exe", L"Icon", L"x.exe", L"", SW_SHOWNORMAL},              // the prefix counts at index 0 only
        {L"%s.exe %d%n", L"%s.exe", L"%d%n", L"", SW_SHOWNORMAL},
        // Empty after trimming: SplitCommandLine would take ZAV's own line.
        {L"", nullptr, nullptr, nullptr, 0},
        {L"    ", nullptr, nullptr, nullptr, 0},
        {L"Icon ", nullptr, nullptr, nullptr, 0},
        {L"Icon     ", nullptr, nullptr, nullptr, 0},
        {L"\"\"", nullptr, nullptr, nullptr, 0},
    };
    for (const ShellCase& c : cases) {
        ShellRecorder shell(42);
        BoxRecorder boxes;
        bool started = Shell(TestTray().mainWindow, c.parameter);
        std::string label = "\"" + Narrow(c.parameter) + "\"";
        if (c.file == nullptr) {
            EXPECT_FALSE(started) << label;
            EXPECT_TRUE(g_calls.empty()) << label << " started " << Narrow(g_calls[0].file);
            ASSERT_EQ(boxes.boxes().size(), 1u) << label;
            EXPECT_EQ(boxes.boxes()[0].text, L"Execute Error Code = 2") << label;
            EXPECT_EQ(boxes.boxes()[0].style, static_cast<UINT>(MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST));
            EXPECT_EQ(boxes.boxes()[0].owner, TestTray().mainWindow);
            continue;
        }
        EXPECT_TRUE(started) << label;
        EXPECT_TRUE(boxes.boxes().empty()) << label;
        ASSERT_EQ(g_calls.size(), 1u) << label;
        EXPECT_EQ(g_calls[0].verb, L"open");
        EXPECT_EQ(Narrow(g_calls[0].file), Narrow(c.file)) << label;
        EXPECT_EQ(Narrow(g_calls[0].parameters), Narrow(c.parameters)) << label;
        EXPECT_EQ(Narrow(g_calls[0].directory), Narrow(c.directory)) << label;
        EXPECT_EQ(g_calls[0].show, c.show) << label;
    }
}

TEST(Shell, ShowsTheShellsCodeWhenTheStartFails) {
    const struct {
        INT_PTR answer;
        const wchar_t* box;   // nullptr: started
    } cases[] = {{2, L"Execute Error Code = 2"}, {0, L"Execute Error Code = 0"},
                 {32, L"Execute Error Code = 32"}, {33, nullptr}};
    for (const auto& c : cases) {
        ShellRecorder shell(c.answer);
        BoxRecorder boxes;
        EXPECT_EQ(Shell(nullptr, L"prog.exe"), c.box == nullptr) << c.answer;
        ASSERT_EQ(boxes.boxes().size(), c.box == nullptr ? 0u : 1u) << c.answer;
        if (c.box != nullptr) {
            EXPECT_EQ(boxes.boxes()[0].text, c.box);
        }
    }
}

// Wine's ShellExecuteW overflows its stack from about 1,000 units of file
// name: a longer one never reaches it, whatever the recorder would do.
TEST(Shell, AProgramLongerThanAPathIsReportedWithoutAStart) {
    const std::wstring folder = L"C:\\" + std::wstring(246, L'd');  // 249 units
    const struct {
        std::wstring parameter;
        bool started;
    } cases[] = {
        {L"\"" + folder + L"\\tool1.exe\" x", true},    // 259 units
        {L"\"" + folder + L"\\tool12.exe\" x", false},  // 260
        {L"Icon \"C:\\" + std::wstring(3000, L'a') + L".exe\"", false},
        {L"https://example.com/" + std::wstring(2063, L'u'), true},  // 2083 units: a URL's limit
        {L"https://example.com/" + std::wstring(2064, L'u'), false},
    };
    for (const auto& c : cases) {
        ShellRecorder shell(42);
        BoxRecorder boxes;
        EXPECT_EQ(Shell(nullptr, c.parameter.c_str()), c.started) << c.parameter.size();
        EXPECT_EQ(g_calls.size(), c.started ? 1u : 0u) << c.parameter.size();
        if (!c.started) {
            ASSERT_EQ(boxes.boxes().size(), 1u) << c.parameter.size();
            EXPECT_EQ(boxes.boxes()[0].text, L"Execute Error Code = 206");
        }
    }
}

}  // namespace
