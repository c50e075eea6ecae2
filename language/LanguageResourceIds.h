// Identifiers of the resources every language resource module carries. Shared
// by the support module's code and the modules' resource scripts, so keep it
// to plain #defines.
#pragma once

#define IDD_SOFTWARE_UPDATES 109

#define IDC_CHECK_STATUS 1040
#define IDC_UPDATE_MODE_1 1330
#define IDC_UPDATE_MODE_2 1331
#define IDC_UPDATE_MODE_3 1332
#define IDC_CHECK_NOW 1334
#define IDC_PRODUCT_UPLOAD 1335

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

#define IDS_CHECK_REQUEST_SENT 4
#define IDS_CHECK_REQUEST_FAILED 5
#define IDS_SETTINGS_NOT_SAVED 6
#define IDS_BROWSER_FAILED 42
