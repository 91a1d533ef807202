#include "settings/SetAlmTmr.h"

#include "common/Paths.h"
#include "common/Protocol.h"

CSetAlmTmr::CSetAlmTmr(int osLevel, BOOL isWow64, int elevation)
    : osLevel(osLevel),
      isWow64(isWow64 != FALSE),
      elevation(elevation),
      schedulePath(ScheduleFilePath(SpecialFolderPath(-1))),
      settings(new SettingsFile(SettingsFile::ForCurrentDirectory())) {}

CSetAlmTmr::~CSetAlmTmr() = default;
