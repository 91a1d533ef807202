#include <gtest/gtest.h>

#include <climits>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "tests/common/TestSupport.h"

namespace {

// Every key of section "Zavbell" with the default its readers pass.
struct KeyDefault { const wchar_t* key; int fallback; };
const KeyDefault kKeys[] = {
    {L"TimerInt", kTimerIntDefault}, {L"BlinkInt", kBlinkIntDefault}, {L"Elevation", 0},
    {L"ParamLeft", -1}, {L"ParamTop", -1},
    {L"SelScheduleLeft", -1}, {L"SelScheduleTop", -1}, {L"SelScheduleWidth", -1}, {L"SelScheduleHeight", -1},
    {L"SetAlarmLeft", -1}, {L"SetAlarmTop", -1},
    {L"SetTimerLeft", -1}, {L"SetTimerTop", -1},
    {L"KabeLeft", -1}, {L"KabeTop", -1},
    {L"SetCmdLeft", INT_MIN}, {L"SetCmdTop", INT_MIN},
    {L"SetPlayLeft", INT_MIN}, {L"SetPlayTop", INT_MIN},
    {L"SetWinEndLeft", INT_MIN}, {L"SetWinEndTop", INT_MIN},
};

TEST(SettingsFile, ForCurrentDirectoryNamesZavbellIni) {
    TempFolder folder;
    CurrentDirectoryScope inFolder(folder.path());
    SettingsFile settings = SettingsFile::ForCurrentDirectory();
    WString expected = JoinPath(SpecialFolderPath(-1), L"Zavbell.ini");
    EXPECT_STREQ(expected.text(), settings.path().text());
    EXPECT_STREQ(L"Zavbell", settings.section().text());
}

TEST(SettingsFile, WithoutAFileEveryKeyReadsItsDefault) {
    TempFolder folder;
    CurrentDirectoryScope inFolder(folder.path());
    SettingsFile settings = SettingsFile::ForCurrentDirectory();
    ASSERT_FALSE(PathExists(settings.path()));
    for (const KeyDefault& k : kKeys) {
        EXPECT_EQ(k.fallback, settings.ReadInt(k.key, k.fallback)) << Narrow(k.key);
    }
    EXPECT_FALSE(PathExists(settings.path())) << "reading must not create the file";
}

TEST(SettingsFile, WriteIntThenReadIntRoundTrips) {
    TempFolder folder;
    CurrentDirectoryScope inFolder(folder.path());
    SettingsFile settings = SettingsFile::ForCurrentDirectory();
    const int values[] = {250, 0, 1000, -1, -32000, INT_MAX, INT_MIN};
    for (int value : values) {
        settings.WriteInt(L"SetCmdLeft", value);
        EXPECT_EQ(value, settings.ReadInt(L"SetCmdLeft", 12345)) << "wrote " << value;
    }
    EXPECT_TRUE(PathExists(settings.path())) << "the first write creates the file";
    // Other keys keep their defaults; the section is "Zavbell" only.
    EXPECT_EQ(kTimerIntDefault, settings.ReadInt(L"TimerInt", kTimerIntDefault));
    SettingsFile otherSection(settings.path(), L"Other");
    EXPECT_EQ(77, otherSection.ReadInt(L"SetCmdLeft", 77));
}

TEST(SettingsFile, WriteStringIsReadAsNumber) {
    TempFolder folder;
    SettingsFile settings(JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell");
    settings.WriteString(L"Elevation", L"1");
    EXPECT_EQ(1, settings.ReadInt(L"Elevation", 0));
    settings.WriteString(L"Elevation", L"0");
    EXPECT_EQ(0, settings.ReadInt(L"Elevation", 5));
    wchar_t raw[32];
    GetPrivateProfileStringW(L"Zavbell", L"Elevation", L"", raw, 32, settings.path().text());
    EXPECT_STREQ(L"0", raw);
}

}  // namespace
