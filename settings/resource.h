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
