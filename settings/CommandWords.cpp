#include "settings/CommandWords.h"

#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "schedule/InitSchedule.h"
#include "settings/AboutDialog.h"

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

// The schedule list (dialog 110) is not built yet: "set" and "zzzzzz" end
// without a window. It will run here on the entry's stack with the word, the
// OS level, the WOW64 flag and the elevation code, with no owner.
void OpenScheduleList(const WString&, const StartInfo&) {}

// The timer dialog (dialog 210) is not built yet: "timer" ends without a
// window. It will run here like the schedule list.
void OpenTimer(const WString&, const StartInfo&) {}

void OpenAbout(const WString&, const StartInfo& start) {
    DAbout about(start.elevation);
    about.Run(nullptr);
}

void RunInitSchedule(const WString&, const StartInfo&) {
    InitSchedule();
}
