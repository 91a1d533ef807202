// Resource ids of ZAVSet, grouped by dialog.
#pragma once

// ---- Shared ----
#define IDC_STATIC          (-1)    // statics nobody addresses

#include "common/res/Icons.h"

// ---- About box (dialog 200) ----
#define IDD_ABOUT               200
#define IDC_ABOUT_ICON          2000    // icon 100
#define IDC_ABOUT_ALARM_ICON    2001    // icon 101
#define IDC_ABOUT_NAME          2002    // "Orrivane", 18 points
#define IDC_ABOUT_VERSION       2003    // "Ver.x.xx" in the template, 14 points
#define IDC_ABOUT_SUMMARY       2004    // green
#define IDC_ABOUT_CREDIT        2005    // blue
#define IDC_ABOUT_MAIL          2006    // blue, double-click sends a mail
#define IDC_ABOUT_HOMEPAGE      2007    // blue, double-click opens the home page
#define IDC_ABOUT_OK            2008    // default button

// ---- Command input dialog (dialog 9200) ----
#define IDD_COMMAND             9200
#define IDC_CMD_HEADING         9201    // 13 points
#define IDC_CMD_DROP_HINT       9202    // blue
#define IDC_CMD_EDIT            9203    // the command line; accepts dropped files
#define IDC_CMD_BROWSE          9204
#define IDC_CMD_CLEAR           9205
#define IDC_CMD_SHORT_NAMES     9206
#define IDC_CMD_NOTE1           9207    // green
#define IDC_CMD_NOTE2           9208    // green
#define IDC_CMD_PASTE           9209
#define IDC_CMD_MINIMISED       9210    // "Icon " in the parameter
#define IDC_CMD_CANCEL          9211
#define IDC_CMD_OK              9212

// ---- Action block of the schedule edit and timer dialogs ----
#define IDC_AT_START            1222    // "プログラム起動時" (edit dialog only)
#define IDC_ACTION_GROUP        1250    // radio buttons 1251 ... 1259 follow
#define IDC_ACTION_FIRST        1251
#define IDC_ACTION_LAST         1259
#define IDC_PARAM_LABEL         1260
#define IDC_PARAM_EDIT          1261
#define IDC_PARAM_NONE          1263
#define IDC_PARAM_SHOW          1264
#define IDC_PARAM_EDIT_BUTTON   1265

// ---- Exit settings dialog (dialog 9300) ----
#define IDD_EXIT                9300
#define IDC_EXIT_METHODS        9301    // group; radio buttons 9302 ... 9305
#define IDC_EXIT_POWER_OFF      9302
#define IDC_EXIT_SLEEP          9303
#define IDC_EXIT_HIBERNATE      9304
#define IDC_EXIT_RESTART        9305
#define IDC_EXIT_WAIT           9306    // 14 points
#define IDC_EXIT_WAIT_SPIN      9307    // 0 ... 300
#define IDC_EXIT_WAIT_NOTE      9308
#define IDC_EXIT_FORCE          9309
#define IDC_EXIT_HELD           9310    // red, 10 points, only for a held record
#define IDC_EXIT_CANCEL         9311
#define IDC_EXIT_OK             9312

// ---- Media file dialog (dialog 9400) ----
#define IDD_MEDIA               9400
#define IDC_MEDIA_FILE          9401
#define IDC_MEDIA_BROWSE        9402
#define IDC_MEDIA_REPEAT        9403
#define IDC_MEDIA_VOLUME        9404
#define IDC_MEDIA_CANCEL        9405
#define IDC_MEDIA_OK            9406

// ---- Wallpaper dialog (dialog 160) ----
#define IDD_WALLPAPER           160
#define IDC_KABE_FILE           1600
#define IDC_KABE_BROWSE         1601
#define IDC_KABE_PREVIEW        1602
#define IDC_KABE_HINT           1603
#define IDC_KABE_LAYOUT         1604
#define IDC_KABE_CANCEL         1605
#define IDC_KABE_OK             1606

// ---- Options (dialog 140) ----
#define IDD_PARAM               140
#define IDC_PARAM_ELEVATION_GROUP 1400
#define IDC_PARAM_ELEVATION     1401    // check box: Elevation
#define IDC_PARAM_HELP          1402
#define IDC_PARAM_BLINK_GROUP   1410
#define IDC_PARAM_BLINK         1411    // edit: BlinkInt
#define IDC_PARAM_BLINK_SPIN    1412
#define IDC_PARAM_BLINK_UNIT    1413
#define IDC_PARAM_BLINK_RANGE   1414    // blue
#define IDC_PARAM_TIMER_GROUP   1420
#define IDC_PARAM_TIMER         1421    // edit: TimerInt
#define IDC_PARAM_TIMER_SPIN    1422
#define IDC_PARAM_TIMER_UNIT    1423
#define IDC_PARAM_TIMER_RANGE   1424    // blue
#define IDC_PARAM_CANCEL        1430
#define IDC_PARAM_OK            1431    // default button
#define IDC_PARAM_WAKE          1440    // check box: WakeUp

// ---- Hold state (dialog 150) ----
#define IDD_HOLD                150
#define IDC_HOLD_GROUP          1500
#define IDC_HOLD_NONE           1501    // ' '  (radio group 1500 + 1 ... 1500 + 4)
#define IDC_HOLD_RUN_ONCE       1502    // '!'
#define IDC_HOLD_ONCE           1503    // '#'
#define IDC_HOLD_ALWAYS         1504    // 'X'
#define IDC_HOLD_CANCEL         1505
#define IDC_HOLD_OK             1506    // default button

// ---- Schedule list (dialog 110, context menu 102) ----
#define IDD_SCHEDULE_LIST       110
#define IDR_SCHEDULE_MENU       102
#define IDC_LIST_LINES          1100    // list box, extended selection
#define IDC_LIST_ADD            1101    // first button row: 1101 ... 1105
#define IDC_LIST_COPY_ADD       1102
#define IDC_LIST_MODIFY         1103
#define IDC_LIST_DELETE         1104
#define IDC_LIST_HOLD           1105
#define IDC_LIST_TEST_RUN       1106    // second button row: 1106 ... 1110
#define IDC_LIST_OPTIONS        1107
#define IDC_LIST_EXPLAIN        1108
#define IDC_LIST_CANCEL         1109
#define IDC_LIST_OK             1110    // not the default button
#define IDC_LIST_REMINDER       1111    // red
#define IDC_LIST_NEXT_DUE       1112    // when the selected line next comes due
#define IDM_LIST_MODIFY         40001   // the menu's default item
#define IDM_LIST_DELETE         40002
#define IDM_LIST_COPY_ADD       40003
#define IDM_LIST_TEST_RUN       40004
#define IDM_LIST_HOLD_NONE      40005   // 40005 ... 40008: ' ', '!', '#', 'X'
#define IDM_LIST_HOLD_RUN_ONCE  40006
#define IDM_LIST_HOLD_ONCE      40007
#define IDM_LIST_HOLD_ALWAYS    40008

// ---- Timer (dialog 210; the action block 1250 ... 1265 above) ----
#define IDD_TIMER               210
#define IDC_TIMER_GROUP         2100
#define IDC_TIMER_FROM_NOW      2101    // 18 points
#define IDC_TIMER_DAYS          2102    // 14 points, fixed pitch, like the other fields and units
#define IDC_TIMER_DAYS_SPIN     2103    // 0 ... 99
#define IDC_TIMER_DAYS_UNIT     2104
#define IDC_TIMER_HOURS         2105
#define IDC_TIMER_HOURS_SPIN    2106    // 0 ... 23, wraps
#define IDC_TIMER_HOURS_UNIT    2107
#define IDC_TIMER_MINUTES       2108
#define IDC_TIMER_MINUTES_SPIN  2109    // 0 ... 59, wraps
#define IDC_TIMER_MINUTES_UNIT  2110
#define IDC_TIMER_SECONDS       2111
#define IDC_TIMER_SECONDS_SPIN  2112    // 0 ... 59
#define IDC_TIMER_SECONDS_UNIT  2113
#define IDC_TIMER_LATER         2114    // 18 points
#define IDC_TIMER_AT_LABEL      2115
#define IDC_TIMER_AT            2116    // read-only, 12 points, fixed pitch
#define IDC_TIMER_RUNS_ONCE     1262    // "実行１回", red, 18 points
#define IDC_TIMER_CANCEL        2117
#define IDC_TIMER_OK            2118    // default button

// ---- Schedule edit dialog (dialog 120) ----
// The action block 1250 ... 1265 (with 1222) is listed above.
#define IDD_SET_ALARM           120
#define IDC_ALARM_METHOD_GROUP  1200    // radio buttons 1201 ... 1204 follow
#define IDC_ALARM_BY_WEEKDAY    1201    // date method 0
#define IDC_ALARM_BY_DATE       1202    // 1
#define IDC_ALARM_BY_NTH        1203    // 2
#define IDC_ALARM_EVERY_DAY     1204    // 3
#define IDC_ALARM_BY_INTERVAL   1205    // "毎で指定"
#define IDC_ALARM_TIME_GROUP    1210    // 1210 ... 1222
#define IDC_ALARM_HOUR          1211
#define IDC_ALARM_HOUR_SPIN     1212
#define IDC_ALARM_HOUR_UNIT     1213
#define IDC_ALARM_MINUTE        1214
#define IDC_ALARM_MINUTE_SPIN   1215
#define IDC_ALARM_MINUTE_UNIT   1216
#define IDC_ALARM_SECOND        1217
#define IDC_ALARM_SECOND_SPIN   1218
#define IDC_ALARM_SECOND_UNIT   1219
#define IDC_ALARM_EVERY_HOUR    1220
#define IDC_ALARM_EVERY_MINUTE  1221
#define IDC_ALARM_WEEKDAY_GROUP 1230    // 1230 ... 1240
#define IDC_ALARM_SUNDAY        1231    // 1231 ... 1237: Sunday ... Saturday
#define IDC_ALARM_SATURDAY      1237
#define IDC_ALARM_CLEAR_DAYS    1238
#define IDC_ALARM_TODAY         1239
#define IDC_ALARM_ALL_DAYS      1240
#define IDC_ALARM_HOLD_LABEL    1262    // red, 18 points
#define IDC_ALARM_DATE_GROUP    1270    // 1270 ... 1284
#define IDC_ALARM_YEAR          1271
#define IDC_ALARM_YEAR_SPIN     1272
#define IDC_ALARM_YEAR_UNIT     1273
#define IDC_ALARM_EVERY_YEAR    1274
#define IDC_ALARM_MONTH         1275
#define IDC_ALARM_MONTH_SPIN    1276
#define IDC_ALARM_MONTH_UNIT    1277
#define IDC_ALARM_EVERY_MONTH   1278
#define IDC_ALARM_FROM_END      1279    // "月末日から"
#define IDC_ALARM_DAY           1280    // the day, or the days before the month's end
#define IDC_ALARM_DAY_SPIN      1281
#define IDC_ALARM_DAY_UNIT      1282
#define IDC_ALARM_EVERY_DATE    1283
#define IDC_ALARM_WEEKDAY_SHOWN 1284    // "(日)" ... "(土)", "(？)" or "前"
#define IDC_ALARM_INTERVAL_GROUP 1290   // 1290 ... 1294
#define IDC_ALARM_MINUTES       1291
#define IDC_ALARM_SECONDS       1292
#define IDC_ALARM_INTERVAL      1293
#define IDC_ALARM_INTERVAL_UNIT 1294
#define IDC_ALARM_NTH_GROUP     1300    // 1300 ... 1306
#define IDC_ALARM_NTH_PREFIX    1301    // "第" or "最"
#define IDC_ALARM_NTH           1302
#define IDC_ALARM_NTH_WEEKDAY   1303    // owner-drawn
#define IDC_ALARM_NTH_UNIT      1304
#define IDC_ALARM_DAYS_BEFORE   1305
#define IDC_ALARM_DAYS_BEFORE_UNIT 1306
#define IDC_ALARM_CANCEL        1307
#define IDC_ALARM_OK            1308    // default button
#define IDC_ALARM_NEXT_DUE      1309    // when the line next comes due, live; red when never
