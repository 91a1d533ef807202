#!/bin/bash
# Takes the README's pictures: ZAV under Wine in a private Xvfb with a small
# schedule (a start-up message, a notice balloon) and ZAVSet's about box.
# Usage: scripts/screenshots.sh [output folder, default docs]
set -u
cd "$(dirname "$0")/.."
out=$(cd "${1:-docs}" && pwd)
. scripts/wine-env.sh
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb || exit 1
work=$(mktemp -d)
cp "$BUILD_DIR/x86/bin/ZAV.exe" "$BUILD_DIR/x86/bin/ZAVSet.exe" "$work/"

shot() {  # name geometry
    import -window root -crop "$2" +repage "$out/$1.png"
}

# A notice balloon at start-up, then a message box.
printf '%s\r\n' '  EveryDay Start    Notice 会議の時間' \
    '  EveryDay Start    Msg    おはようございます。今日の予定を確認しましょう' |
    iconv -f UTF-8 -t CP932 > "$work/Zavbell.txt"
(cd "$work" && wine ZAV.exe >/dev/null 2>&1 &)
sleep 5
shot tray-notice 240x110+0+0
shot msg-box 520x200+380+412

# The tray tip with the next alarm, the pointer resting on the icon.
wineserver -k >/dev/null 2>&1
sleep 1
printf '%s\r\n' '  EveryDay 07:00:00 Msg    おはようございます。今日の予定を確認しましょう' \
    '  _MTWTF_  12:00:00 Notice 昼休み' | iconv -f UTF-8 -t CP932 > "$work/Zavbell.txt"
(cd "$work" && wine ZAV.exe >/dev/null 2>&1 &)
sleep 4
xdotool mousemove 11 31 mousemove 12 32
sleep 2
shot tray-tip 460x90+0+0

about_box() {  # name: the about box alone on the screen
    wineserver -k >/dev/null 2>&1
    sleep 1
    (cd "$work" && wine ZAVSet.exe about >/dev/null 2>&1 &)
    sleep 3
    # Wine takes the pointer to rest at the screen's centre, over the summary text,
    # whose tooltip would cover part of the picture: move it away first.
    xdotool mousemove 1270 1010 mousemove 1275 1015
    sleep 1
    local wid
    wid=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Orrivane のバージョン情報.*/\1/p' | head -1)
    [ -n "$wid" ] && import -window "$wid" -frame "$out/$1.png"
}
about_box about-box
# Again at 200 %, where the box shows the icons' 64 px images and its title
# bar the 32 px one; the prefix goes back to its 96 dpi even when interrupted.
dpi_key='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1; stop_xvfb' EXIT
wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
about_box about-box-200
wine reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
# The parameter dialogs, and the editor and the list with their next times,
# each opened alone with a sample by the gallery program.
window_shot() {  # title name: the first window whose title begins so, pointer moved away
    xdotool mousemove 1270 1010 mousemove 1275 1015
    sleep 1
    local wid
    wid=$(xwininfo -root -tree | grep -F "\"$1" | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | head -1)
    [ -n "$wid" ] && import -window "$wid" -frame "$out/$2.png"
}
gallery_shot() {  # word title name
    wine "$BUILD_DIR/x86/bin/dialog_gallery.exe" "$1" >/dev/null 2>&1 &
    local gallery=$!
    sleep 3
    window_shot "$2" "$3"
    kill "$gallery" 2>/dev/null
    wait "$gallery" 2>/dev/null
}
for entry in "command:DOSコマンドの入力:command-dialog" "exit:Windows終了の設定:exit-dialog" \
             "media:音声・動画ファイルの設定:media-dialog" "wallpaper:壁紙の設定:wallpaper-dialog" \
             "edit:スケジュールの設定:edit-dialog-next" "list:スケジュール設定内容の表示と変更:schedule-list-next"; do
    IFS=: read -r word title name <<<"$entry"
    gallery_shot "$word" "$title" "$name"
done
# At 150 %: the list, the editor by weekdays (Sunday red, Saturday blue) and
# the countdown of an Exit schedule, which the tests' recording ZAV.exe shows
# without ever stopping the session.
wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
sleep 1
gallery_shot list "スケジュール設定内容の表示と変更" schedule-list-150
gallery_shot weekend "スケジュールの設定" edit-dialog-150
mkdir "$work/recording"
cp "$BUILD_DIR/x86/recording/ZAV.exe" "$BUILD_DIR/x86/bin/ZAVSet.exe" "$work/recording/"
printf '%s\r\n' '  EveryDay Start    Exit   通常の終了 待機時間 =300秒' | iconv -f UTF-8 -t CP932 > "$work/recording/Zavbell.txt"
(cd "$work/recording" && wine ZAV.exe >/dev/null 2>&1 &)
sleep 4
window_shot "通常の終了 までの時間" exit-countdown-150
wineserver -k >/dev/null 2>&1
wine reg delete "$dpi_key" /v LogPixels /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
rm -rf "$work"
echo "screenshots: written to $out"
