#include "common/SettingsFile.h"

#include "common/Paths.h"
#include "common/Protocol.h"

SettingsFile::SettingsFile(const WString& path, const WString& section) : path_(path), section_(section) {}

SettingsFile SettingsFile::ForCurrentDirectory() {
    return SettingsFile(JoinPath(SpecialFolderPath(-1), kSettingsFileName).Unquote(), kSettingsSection);
}

int SettingsFile::ReadInt(const wchar_t* key, int fallback) const {
    // The API returns UINT; the settings hold signed values (INT_MIN defaults).
    return static_cast<int>(GetPrivateProfileIntW(section_.text(), key, fallback, path_.text()));
}

void SettingsFile::WriteInt(const wchar_t* key, int value) const {
    WritePrivateProfileStringW(section_.text(), key, WString(value).text(), path_.text());
}

void SettingsFile::WriteString(const wchar_t* key, const wchar_t* value) const {
    WritePrivateProfileStringW(section_.text(), key, value, path_.text());
}
