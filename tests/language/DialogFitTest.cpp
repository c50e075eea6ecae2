// Dialog 109 in each language and the host's About box, measured in a child process of this
// test at each scale (wine takes the screen's dots per inch when a process starts).
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "host/AboutDlg.h"
#include "host/SupportModule.h"
#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

std::string g_name;   // language and scale
HMODULE g_language = nullptr;   // where the status texts come from
double g_tightest = 1e9;
std::string g_tightestText;

void Fail(const std::string& what)
{
    std::printf("fail %s: %s\n", g_name.c_str(), what.c_str());
}

std::string Name(HWND control, const std::string& text)
{
    return std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\"";
}

// Text in the control's own font, on one line or word-wrapped in the client area less
// margin (a check glyph and its gap, a button's frame). Room is the lines that fit.
void Fit(HWND control, const std::string& text, bool wrap, int margin, UINT prefix)
{
    RECT client, line = {}, wrapped = {};
    GetClientRect(control, &client);
    wrapped.right = client.right - margin;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE | prefix);
    DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | prefix);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const int lines = wrap ? client.bottom / std::max(1L, line.bottom) : 1;
    const int room = (client.right - margin) * lines;
    const std::string sizes = std::to_string(line.right) + " px against " + std::to_string(lines) +
                              " x " + std::to_string(client.right - margin) + " px";
    if (wrap ? wrapped.right > client.right - margin || wrapped.bottom > client.bottom
             : line.right > room || line.bottom > client.bottom)
        Fail(Name(control, text) + " clipped: " + sizes);
    if (!text.empty() && room / (line.right + 0.1) < g_tightest) {
        g_tightest = room / (line.right + 0.1);
        g_tightestText = Name(control, text) + " " + sizes;
    }
}

RECT InDialog(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsGroupBox(HWND control)
{
    char kind[16] = "";
    GetClassNameA(control, kind, sizeof kind);
    return _stricmp(kind, "Button") == 0 && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

void Measure(HWND dialog)
{
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(dialog);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(dialog, dc);
    RECT client, window, overlap;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    if (window.right - window.left > 1920 || window.bottom - window.top > 1080)
        Fail("dialog larger than 1920x1080");
    std::map<char, std::string> mnemonics;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char kind[16] = "";
        GetClassNameA(control, kind, sizeof kind);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const bool button = _stricmp(kind, "Button") == 0, noPrefix = !button && (style & SS_NOPREFIX);
        const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
        const bool check = button && (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX);
        const int margin = check ? GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth / 2
                           : !button ? 0
                           : type == BS_GROUPBOX ? 2 * metrics.tmAveCharWidth : 2 * MulDiv(3, dpi, 96);
        const bool wrap = button ? (style & BS_MULTILINE) != 0 : type <= SS_RIGHT;
        Fit(control, test::WindowText(control), wrap, margin, noPrefix ? DT_NOPREFIX : 0);
        if (GetDlgCtrlID(control) == IDC_CHECK_STATUS)
            for (UINT id : {IDS_CHECK_REQUEST_SENT, IDS_CHECK_REQUEST_FAILED}) {
                char text[260] = "";
                LoadStringA(g_language, id, text, sizeof text);
                Fit(control, text, true, 0, 0);
            }
        const std::string text = test::WindowText(control);
        const std::size_t amp = noPrefix ? std::string::npos : text.find('&');
        if (amp != std::string::npos && amp + 1 < text.size()) {
            char key = text[amp + 1];
            CharLowerBuffA(&key, 1);
            if (!mnemonics.emplace(key, Name(control, test::WindowText(control))).second)
                Fail("mnemonic of " + Name(control, test::WindowText(control)) + " also on " + mnemonics[key]);
        }
        const RECT rect = InDialog(control);
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom)
            Fail(Name(control, test::WindowText(control)) + " outside the dialog");
        for (HWND other = GetWindow(control, GW_HWNDNEXT); other; other = GetWindow(other, GW_HWNDNEXT)) {
            const RECT otherRect = InDialog(other);
            RECT both;
            const bool around = (IsGroupBox(control) && IntersectRect(&both, &rect, &otherRect) &&
                                 EqualRect(&both, &otherRect)) ||
                                (IsGroupBox(other) && IntersectRect(&both, &rect, &otherRect) &&
                                 EqualRect(&both, &rect));
            if (IntersectRect(&overlap, &rect, &otherRect) && !around)
                Fail(Name(control, test::WindowText(control)) + " overlaps " + Name(other, test::WindowText(other)));
        }
    }
    std::string tabs;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND at = first; at && tabs.size() < 80;) {
        tabs += (tabs.empty() ? "" : " ") + std::to_string(GetDlgCtrlID(at));
        if ((at = GetNextDlgTabItem(dialog, at, FALSE)) == first)
            break;
    }
    int radio = IDC_UPDATE_MODE_1;   // the radio buttons are one stop, the checked one
    while (radio < IDC_UPDATE_MODE_3 && IsDlgButtonChecked(dialog, radio) != BST_CHECKED)
        ++radio;
    if (tabs != (GetDlgItem(dialog, IDC_CHECK_NOW) ? std::to_string(radio) + " 1335 1334 1 2 57670"
                                                   : "2001 2002 1"))
        Fail("Tab visits " + tabs);
}

void CALLBACK MeasureShownDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (dialog == nullptr || !IsWindowVisible(dialog))
        return;   // not shown yet
    KillTimer(nullptr, timer);
    Measure(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The child: prints the scale, then "tightest ..." per dialog and a "fail ..." per fault.
int MeasureAll()
{
    CWinApp app("BRAMOK");
    AfxWinInit(GetModuleHandleA(nullptr));
    SupportModule support;
    const uint32_t code = 1;
    if (!support.Load() || support.startup(&code, nullptr, 0, 0) != 1)
        return 3;
    HDC screen = GetDC(nullptr);
    const std::string dpi = std::to_string(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    std::printf("dpi %s\n", dpi.c_str());
    const auto run = [&](const std::string& name, const std::function<INT_PTR()>& show) {
        g_name = name + " " + dpi;
        g_tightest = 1e9;
        g_tightestText.clear();
        SetTimer(nullptr, 0, 50, MeasureShownDialog);
        if (show() != IDCANCEL)
            Fail("not shown");
        std::printf("tightest %s: %s\n", g_name.c_str(), g_tightestText.c_str());
    };
    for (const char* language : {"uk", "us", "nl", "qps-ploc"}) {
        g_language = support.loadLanguage(language);
        run(language, [&] { return support.showUpdates(nullptr); });
    }
    AfxSetResourceHandle(LoadLibraryExA((test::ExecutableFolder() + "BramokHost.exe").c_str(),
                                        nullptr, LOAD_LIBRARY_AS_DATAFILE));
    CAboutDlg about;
    run("about", [&] { return about.DoModal(); });
    support.shutdown(nullptr);
    return 0;
}

} // namespace

// Every text fits its control at 100, 125, 150 and 200%, in every language and the
// pseudo-language; controls stay apart, inside the dialog, with mnemonics of their own.
TEST(DialogFitTest, EveryTextFitsAtEveryScaleInEveryLanguage)
{
    const char* const desktop = "Control Panel\\Desktop";
    test::CleanMachine();   // the Dutch dialog opens on mode 2: its Tab stop moves there
    test::WriteFileText(test::kSettings, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n");
    for (DWORD dpi : {96, 120, 144, 192}) {
        test::SetValue(HKEY_CURRENT_USER, desktop, "LogPixels",
                       std::string(reinterpret_cast<const char*>(&dpi), 4), REG_DWORD);
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string output = test::RunProcess("\"" + std::string(self) + "\" measure", 120000);
        EXPECT_EQ(output.rfind("dpi " + std::to_string(dpi) + "\n", 0), 0u) << output;
        EXPECT_EQ(output.find("fail"), std::string::npos) << output;
        EXPECT_NE(output.find("tightest about"), std::string::npos) << output;
        std::printf("%s", output.c_str());
    }
    test::DeleteValue(HKEY_CURRENT_USER, desktop, "LogPixels");
    test::CleanMachine();
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "measure") == 0)
        return MeasureAll();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
