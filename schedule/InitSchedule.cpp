#include "schedule/InitSchedule.h"

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Protocol.h"

namespace {

// The tutorial: seven start-up messages, the record that opens the schedule
// list with "zzzzzz", and one example of every action held with "X".
const wchar_t* const kInitialRecords[] = {
    L"  EveryDay Start    Msg    1.プログラムが起動されるとタスクトレイに目覚まし時計のアイコンが現れます",
    L"  EveryDay Start    Msg    2.それをクリック(右でも左でもよい)するとメニューが現れます",
    L"  EveryDay Start    Msg    3.このプログラムの情報をみたいときはメニューの[about(A)]を選択して下さい",
    L"  EveryDay Start    Msg    4.終了したいときはメニューの[終了(X)]を選択して下さい",
    L"  EveryDay Start    Msg    5.スケジュールの設定をしたいときはメニューの[設定(S)]を選択して下さい",
    L"  EveryDay Start    Msg    6.タイマーを設定をしたいときはメニューの[タイマー(T)]を選択して下さい",
    L"  EveryDay Start    Msg    7.設定画面を出しますので、このスケジュールを変更してみて下さい",
    L"  EveryDay Start    zzzzzz これとこの上のスケジュールは削除して下さい。",
    L"X _______  01:00:00 Msg    メッセージ表示のテスト",
    L"X _______  02:00:00 Mplay  C:\\Windows\\media\\Windows Logon.wav",
    L"X _______  03:00:00 Notice 通知メッセージのテスト",
    L"X _______  04:00:00 Blink  ブリンクのテスト",
    L"X _______  05:00:00 Screen C:\\Windows\\System32\\Ribbons.scr",
    L"X _______  06:00:00 3DText ３Ｄテキストのテスト",
    L"X _______  07:00:00 Kabe   Expand C:\\Windows\\Web\\Wallpaper\\Windows\\img0.jpg",
    L"X _______  08:00:00 Shell  notepad.exe",
    L"X _______  09:00:00 Exit   通常の終了",
};

WString SchedulePathIn(const WString& directory) {
    return ScheduleFilePath(directory);
}

void ShowNotWritten(const WString& path) {
    ShowError((path + L"\nファイルに書き込めませんでした").text());
}

void ConvertOldSchedule(const WString& directory, const WString& schedulePath) {
    // A schedule that exists but cannot be read (held open by another
    // program) must not become an empty one, nor replace the last backup.
    StringList old;
    if (!old.load(schedulePath)) return;
    // Nothing to convert: the file stays as it is, and so does the backup
    // of an earlier conversion.
    if (old.count() == 0) return;
    // The backup is the file's own bytes: a load and save would lose what
    // does not survive the round trip.
    const WString backupPath = JoinPath(directory, kScheduleBackupName).Unquote();
    if (!CopyFileW(schedulePath.text(), backupPath.text(), FALSE)) {
        ShowNotWritten(backupPath);
        return;
    }

    StringList converted;
    converted.SetEncoding(old.encoding());
    converted.reserve(old.count());
    for (int i = 0; i < old.count(); ++i) InsertSorted(converted, ConvertOldRecord(old.at(i)));
    if (!converted.save(schedulePath)) {
        ShowNotWritten(schedulePath);
        return;
    }

    ShowInfo(
        L"Ver.2.00 以前からのスケジュールを変換しました\n"
        L"旧スケジュールは \"old Zavbell.txt\" にあります");
}

}  // namespace

StringList InitialSchedule() {
    StringList list;
    for (const wchar_t* record : kInitialRecords) list.append(WString(record));
    return list;
}

WString ConvertOldRecord(const WString& oldRecord) {
    WString time = oldRecord.Mid(9, 13);
    int rest = 14;
    if (time == L"Start") {
        time.append(L"   ");
    } else if (time.at(2) == L':') {
        time.append(L":00");
    } else if (time.at(2) == L'\'' && time.at(3) == L'毎') {
        // NN'毎 is one unit shorter than the other time forms.
        time = WString(L"every") + time.Left(2) + L"m";
        rest = 13;
    }
    // Any other shape stays five units long, and the rest of the record
    // shifts three columns to the left.
    WString record = oldRecord.Mid(8, 8);
    record += L" ";
    record += oldRecord.Mid(0, 7);
    record += L" ";
    record += time;
    record += oldRecord.From(rest);
    return record;
}

void InitSchedule(const WString& directory) {
    const WString schedulePath = SchedulePathIn(directory);
    if (!PathExists(schedulePath)) {
        InitialSchedule().save(schedulePath);
        return;
    }
    ConvertOldSchedule(directory, schedulePath);
}

void InitSchedule() {
    InitSchedule(SpecialFolderPath(-1));
}

bool WarnRetiredAction(const WString& record, HWND owner) {
    if (!IsRetiredAction(record)) return false;
    const WString text = WString(L"このスケジュールは、Ver.2.00 から使えなくなったので再指定してください\n") + record;
    ShowError(text.text(), owner);
    return true;
}
