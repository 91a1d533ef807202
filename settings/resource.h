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
