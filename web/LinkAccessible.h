#pragma once

#include <windows.h>

// The answer of a link control to WM_GETOBJECT: for its client area, the standard accessible
// object of its window presented as a link (role, its text as name, a default action that
// clicks it, focusable and focused); 0, the default answer, for any other object.
LRESULT AnswerLinkObjectRequest(HWND link, WPARAM wParam, LPARAM lParam);
