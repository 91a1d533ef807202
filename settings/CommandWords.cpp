#include "settings/CommandWords.h"

#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "schedule/InitSchedule.h"
#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "settings/AboutDialog.h"
#include "settings/ScheduleListDialog.h"
#include "settings/TimerDialog.h"

namespace {

const CommandWord kCommandWords[] = {
    {kWordSet, OpenScheduleList},
    {kWordExplain, OpenScheduleList},
    {kWordAbout, OpenAbout},
    {kWordTimer, OpenTimer},
    {kWordInitSchedule, RunInitSchedule},
};

}  // namespace

const CommandWord* FindCommandWord(const WString& word) {
    for (const CommandWord& entry : kCommandWords)
        if (lstrcmpW(entry.word, word.text()) == 0) return &entry;
    return nullptr;
}

void RunCommandWord(const WString& word, const StartInfo& start) {
    const CommandWord* entry = FindCommandWord(word);
    if (entry == nullptr) {
        ShowError(L"直接起動してはいけません");
        return;
    }
    entry->run(word, start);
}

// The schedule list of Zavbell.txt and Zavbell.ini in the folder ZAV
// started this program in, with no owner.
void OpenScheduleList(const WString& word, const StartInfo& start) {
    SettingsFile settings = SettingsFile::ForCurrentDirectory();
    DSelSchedule list(word, start, ScheduleFilePath(SpecialFolderPath(-1)), settings);
    list.Run(nullptr);
}

// The timer, with the schedule and settings of the current directory, with
// no owner.
void OpenTimer(const WString&, const StartInfo& start) {
    DSetTimer timer(start);
    timer.Run(nullptr);
}

void OpenAbout(const WString&, const StartInfo& start) {
    DAbout about(start.elevation);
    about.Run(nullptr);
}

void RunInitSchedule(const WString&, const StartInfo&) {
    InitSchedule();
}
