// The test host's "fit" command: dialog 109 in a language, or the host's About box, measured
// at the scale the process started with (wine takes the screen's dots per inch then).
//   fit CODE|about   "fit NAME DPI", "font FACE" (the face the dialog's text is drawn in), then a
//                    "fail" line per fault; the dialog is cancelled
#include "host/AboutDlg.h"
#include "host/HostSession.h"
#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

std::string g_name;    // what is measured: language and scale
HMODULE g_language;    // where the status texts come from

std::string Name(HWND control, const std::string& text)
{ return std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\""; }
void Fail(const std::string& fault) { std::printf("fail %s: %s\n", g_name.c_str(), fault.c_str()); }

// Text in the control's own font, on one line or word-wrapped, in the client area less margin
// (a check glyph and its gap, a frame).
void Fit(HWND control, const std::string& text, bool wrap, int margin, UINT prefix)
{
    RECT client, line = {}, wrapped = {};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE | prefix);
    wrapped.right = client.right - margin;
    DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | prefix);
    ReleaseDC(control, dc);
    if (wrap ? wrapped.right > client.right - margin || wrapped.bottom > client.bottom
             : line.right > client.right - margin || line.bottom > client.bottom)
        Fail(Name(control, text) + " clipped: " + std::to_string(line.right) + " px against " +
             std::to_string(client.right - margin) + " px");
}

void Measure(HWND dialog)
{
    // The face drawn, not the one asked for: "MS Shell Dlg" is whatever it stands for here.
    OUTLINETEXTMETRICA metrics[8] = {};   // the names follow the fixed part
    HDC dc = GetDC(dialog);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    const UINT size = GetOutlineTextMetricsA(dc, sizeof metrics, metrics);
    ReleaseDC(dialog, dc);
    const char* names = reinterpret_cast<const char*>(metrics);
    const auto family = reinterpret_cast<UINT_PTR>(metrics[0].otmpFamilyName);
    std::printf("font %s\n", size != 0 && family < size ? names + family : "?");    RECT client, window, both, four = {0, 0, 4, 0};   // 4 dialog units: a button's frames
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    MapDialogRect(dialog, &four);
    if (window.right - window.left > 1920 || window.bottom - window.top > 1080) Fail("larger than 1920x1080");
    std::map<char, std::string> mnemonics;
    struct Placed { RECT rect; std::string name; bool group; };
    std::vector<Placed> placed;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char kind[16] = "";
        GetClassNameA(control, kind, sizeof kind);
        const std::string text = test::WindowText(control), name = Name(control, text);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const bool button = _stricmp(kind, "Button") == 0, prefix = button || !(style & SS_NOPREFIX);
        const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
        const bool check = button && (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX);
        Fit(control, text, button ? (style & BS_MULTILINE) != 0 : type <= SS_RIGHT,
            check ? GetSystemMetrics(SM_CXMENUCHECK) + four.right / 2
                  : !button ? 0 : type == BS_GROUPBOX ? 2 * four.right : four.right,
            prefix ? 0 : DT_NOPREFIX);
        for (UINT id : {IDS_CHECK_REQUEST_SENT, IDS_CHECK_REQUEST_FAILED}) {
            char status[260] = "";
            if (GetDlgCtrlID(control) == IDC_CHECK_STATUS && LoadStringA(g_language, id, status, 260))
                Fit(control, status, true, 0, 0);
        }
        const std::size_t amp = prefix ? text.find('&') : std::string::npos;
        char key = amp != std::string::npos && amp + 1 < text.size() ? text[amp + 1] : 0;
        CharLowerBuffA(&key, 1);
        if (key != 0 && !mnemonics.emplace(key, name).second) Fail(name + " has the mnemonic of " + mnemonics[key]);
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (!IntersectRect(&both, &rect, &client) || !EqualRect(&both, &rect)) Fail(name + " outside the dialog");
        for (const Placed& other : placed)   // only a group box, placed first, holds others
            if (IntersectRect(&both, &rect, &other.rect) && !(other.group && EqualRect(&both, &rect)))
                Fail(name + " overlaps " + other.name);
        placed.push_back({rect, name, button && type == BS_GROUPBOX});
    }
}

void CALLBACK MeasureShownDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (dialog != nullptr && IsWindowVisible(dialog)) {
        KillTimer(nullptr, timer);
        Measure(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace

bool FitCommand(HostSession& host, int argc, char** argv, int& i)
{
    if (std::strcmp(argv[i], "fit") != 0 || i + 1 >= argc) return false;
    const std::string name = argv[++i];
    HDC screen = GetDC(nullptr);
    g_name = name + " " + std::to_string(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    std::printf("fit %s\n", g_name.c_str());
    SetTimer(nullptr, 0, 50, MeasureShownDialog);
    CAboutDlg about;
    if (name != "about") g_language = host.support.loadLanguage(name.c_str());
    if ((name == "about" ? about.DoModal() : host.support.showUpdates(nullptr)) != IDCANCEL) Fail("not shown");
    return true;
}
