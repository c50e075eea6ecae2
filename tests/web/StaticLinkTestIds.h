#pragma once

#define IDD_LINKS 100
#define IDC_PLAIN 101        // SS_NOPREFIX: plain look, target assigned by the owner
#define IDC_FROM_STRING 102  // centred, refused target, string resource of its id
#define IDC_FROM_TEXT 103    // right-aligned, its text is the target
#define IDC_NOWHERE 104      // no target anywhere
