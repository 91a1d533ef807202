#include "settings/SetAlmTmr.h"

#include "common/Paths.h"

CSetAlmTmr::CSetAlmTmr(int osLevel, BOOL isWow64, int elevation)
    : osLevel(osLevel),
      isWow64(isWow64 != FALSE),
      elevation(elevation),
      schedulePath(JoinPath(SpecialFolderPath(-1), L"Zavbell.txt")),
      settings(new SettingsFile(SettingsFile::ForCurrentDirectory())) {}

CSetAlmTmr::~CSetAlmTmr() = default;
