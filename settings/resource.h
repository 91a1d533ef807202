// Resource ids of ZAVSet, grouped by dialog.
#pragma once

// ---- Shared ----
#define IDC_STATIC          (-1)    // statics nobody addresses

// ---- Icons ----
#define IDI_SETTINGS        100
#define IDI_ALARM           101

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
