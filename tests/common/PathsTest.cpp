#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/Paths.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(Paths, JoinPathTable) {
    struct Case { const wchar_t* dir; const wchar_t* name; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\", L"Zavbell.ini", L"C:\\Zavbell.ini"},          // drive root: no second backslash
        {L" \"D:\\\" ", L"x", L" \"D:\\\" x"},                  // a quoted root is still a root
        {L"C:\\dir", L"Zavbell.ini", L"C:\\dir\\Zavbell.ini"},
        {L"C:\\dir\\", L"a", L"C:\\dir\\\\a"},                  // a trailing backslash gets a second one
        {L"\"C:\\my dir\"", L"a", L"\"C:\\my dir\"\\a"},        // a quoted dir stays quoted
        {L"", L"a", L"\\a"},
        {L"C:", L"a", L"C:\\a"},
        {L"C:/", L"a", L"C:/\\a"},                              // only the backslash is known
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, JoinPath(c.dir, c.name).text())
            << "JoinPath(\"" << Narrow(c.dir) << "\", \"" << Narrow(c.name) << "\")";
    }
}

TEST(Paths, DirectoryOfTable) {
    struct Case { const wchar_t* path; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\ZAV.exe", L"C:\\"},               // the root keeps its backslash
        {L"ZAV.exe", L""},
        {L"C:\\dir\\ZAV.exe", L"C:\\dir"},
        {L"C:\\a\\b\\", L"C:\\a\\b"},
        {L"\"C:\\my dir\\ZAV.exe", L"C:\\my di"},  // passed through Unquote: the last unit goes
        {L"\\\\server\\share\\f", L"\\\\server\\share"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, DirectoryOf(c.path).text()) << "DirectoryOf(\"" << Narrow(c.path) << "\")";
    }
}

TEST(Paths, FileNameOfTable) {
    struct Case { const wchar_t* path; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\dir\\ZAV.exe", L"ZAV.exe"}, {L"ZAV.exe", L"ZAV.exe"}, {L"C:\\dir\\", L""}, {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, FileNameOf(c.path).text()) << "FileNameOf(\"" << Narrow(c.path) << "\")";
    }
}

TEST(Paths, ExtensionOfTable) {
    struct Case { const wchar_t* path; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\dir\\sound.WAV", L"WAV"},
        {L"C:\\dir.old\\readme", L"old\\readme"},  // a dot in a directory name counts
        {L"C:\\dir\\noext", L""},
        {L"name.", L""},
        {L"a.tar.gz", L"gz"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, ExtensionOf(c.path).text()) << "ExtensionOf(\"" << Narrow(c.path) << "\")";
    }
}

TEST(Paths, CurrentDirectoryIsSpecialFolderMinusOne) {
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    CurrentDirectoryScope inFolder(folder.path());
    BoxRecorder boxes;
    WString current = SpecialFolderPath(-1);
    EXPECT_EQ(0, lstrcmpiW(folder.path().text(), current.text()))
        << "expected " << Narrow(folder.path()) << ", got " << Narrow(current);
    EXPECT_TRUE(boxes.boxes().empty());
    WString file = SpecialFolderFile(-1, L"Zavbell.txt");
    EXPECT_STREQ(JoinPath(current, L"Zavbell.txt").text(), file.text());
}

TEST(Paths, ShellFoldersMatchTheSystemDirectories) {
    BoxRecorder boxes;
    wchar_t windows[MAX_PATH];
    wchar_t system[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    WString windowsFolder = SpecialFolderPath(CSIDL_WINDOWS);
    WString systemFolder = SpecialFolderPath(CSIDL_SYSTEM);
    EXPECT_EQ(0, lstrcmpiW(windows, windowsFolder.text()))
        << "expected " << Narrow(windows) << ", got " << Narrow(windowsFolder);
    EXPECT_EQ(0, lstrcmpiW(system, systemFolder.text()))
        << "expected " << Narrow(system) << ", got " << Narrow(systemFolder);
    EXPECT_FALSE(SpecialFolderPath(CSIDL_STARTUP).empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(Paths, UnknownShellFolderReportsAndGivesEmptyText) {
    BoxRecorder boxes;
    WString result = SpecialFolderPath(0x7F);  // no CSIDL has this number
    EXPECT_STREQ(L"", result.text());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(0, boxes.boxes()[0].text.rfind(L"SHGetSpecialFolderLocation Error Code =0x", 0))
        << "box text: " << Narrow(boxes.boxes()[0].text.c_str());
    EXPECT_EQ(0x50010u, boxes.boxes()[0].style);
}

TEST(Paths, PathExists) {
    TempFolder folder;
    EXPECT_TRUE(PathExists(folder.path()));
    WString file = JoinPath(folder.path(), L"present.txt");
    EXPECT_FALSE(PathExists(file));
    ASSERT_TRUE(CreateEmptyFile(file)) << Narrow(file);
    EXPECT_TRUE(PathExists(file));
}

// A program started by a bare name ("ZAV" at a prompt in its folder) has no
// folder in its command line; its own file still names one.
TEST(Paths, ProgramFolderIsTheFolderOfTheRunningProgram) {
    TempFolder elsewhere;
    CurrentDirectoryScope inElsewhere(elsewhere.path());
    WString folder = ProgramFolder();
    EXPECT_EQ(L':', folder.at(1)) << "not a full path: " << Narrow(folder);
    EXPECT_TRUE(PathExists(JoinPath(folder, L"common_tests.exe")) || PathExists(JoinPath(folder, L"common_tests_x64.exe")))
        << Narrow(folder);
    EXPECT_EQ(folder, DirectoryOf(ProgramPath()));
    EXPECT_TRUE(PathExists(ProgramPath())) << Narrow(ProgramPath());
}

}  // namespace
