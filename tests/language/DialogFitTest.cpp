// Dialog 109 in each language and the host's About box, measured in a child process of this
// test at each scale (wine takes the screen's dots per inch when a process starts).
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "host/AboutDlg.h"
#include "host/SupportModule.h"
#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

namespace {

std::string g_name, g_tightest;   // what is measured (language, scale); its tightest text
double g_slack;                    // room over text width, of the tightest
HMODULE g_language;                // where the status texts come from

std::string Name(HWND control, const std::string& text)
{
    return std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\"";
}
void Fail(const std::string& fault)
{
    std::printf("fail %s: %s\n", g_name.c_str(), fault.c_str());
}

// Text in the control's own font, on one line or word-wrapped, in the client area less margin
// (a check glyph and its gap, a frame). The room is the width times the lines that fit.
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
    const int lines = wrap ? client.bottom / std::max(1L, line.bottom) : 1;
    const std::string sizes = std::to_string(line.right) + " px against " + std::to_string(lines) +
                              " x " + std::to_string(client.right - margin) + " px";
    if (wrap ? wrapped.right > client.right - margin || wrapped.bottom > client.bottom
             : line.right > client.right - margin || line.bottom > client.bottom)
        Fail(Name(control, text) + " clipped: " + sizes);
    const double slack = (client.right - margin) * lines / (line.right + 0.1);
    if (!text.empty() && slack < g_slack)
        g_slack = slack, g_tightest = Name(control, text) + " " + sizes;
}

void Measure(HWND dialog)
{
    RECT client, window, both, four = {0, 0, 4, 0};   // 4 dialog units: a button's frames
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    MapDialogRect(dialog, &four);
    if (window.right - window.left > 1920 || window.bottom - window.top > 1080)
        Fail("larger than 1920x1080");
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
        if (key != 0 && !mnemonics.emplace(key, name).second)
            Fail(name + " has the mnemonic of " + mnemonics[key]);
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (!IntersectRect(&both, &rect, &client) || !EqualRect(&both, &rect))
            Fail(name + " outside the dialog");
        for (const Placed& other : placed)   // only a group box, placed first, holds others
            if (IntersectRect(&both, &rect, &other.rect) && !(other.group && EqualRect(&both, &rect)))
                Fail(name + " overlaps " + other.name);
        placed.push_back({rect, name, button && type == BS_GROUPBOX});
    }
    int radio = IDC_UPDATE_MODE_1;   // the radio buttons are one stop: the checked one
    while (radio < IDC_UPDATE_MODE_3 && IsDlgButtonChecked(dialog, radio) != BST_CHECKED)
        ++radio;
    std::string tabs;
    for (HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE), at = first; at && tabs.size() < 80;
         at = GetNextDlgTabItem(dialog, at, FALSE) != first ? GetNextDlgTabItem(dialog, at, FALSE) : nullptr)
        tabs += (tabs.empty() ? "" : " ") + std::to_string(GetDlgCtrlID(at));
    if (tabs != (GetDlgItem(dialog, IDC_CHECK_NOW) ? std::to_string(radio) + " 1335 1334 1 2 57670"
                                                   : "2001 2002 1"))
        Fail("Tab visits " + tabs);
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

// The child: its scale, then the tightest text of each dialog and a "fail" line per fault.
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
    std::printf("dpi %s\n", dpi.c_str());
    const auto run = [&](const std::string& name, const std::function<INT_PTR()>& show) {
        g_name = name + " " + dpi;
        g_slack = 1e9;
        SetTimer(nullptr, 0, 50, MeasureShownDialog);
        if (show() != IDCANCEL)
            Fail("not shown");
        std::printf("tightest %s: %s\n", g_name.c_str(), g_tightest.c_str());
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
    test::CleanMachine();   // the Dutch dialog opens on mode 2: its Tab stop moves there
    test::WriteFileText(test::kSettings, "[BRAMOK 11.3 (Nederlands)]\r\nUpdateMode=2\r\n");
    for (DWORD dpi : {96, 120, 144, 192}) {
        test::SetValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels",
                       std::string(reinterpret_cast<const char*>(&dpi), 4), REG_DWORD);
        const std::string output = test::RunProcess("\"" + test::ExecutableFolder() + "layout_tests.exe\" measure", 120000);
        EXPECT_EQ(output.rfind("dpi " + std::to_string(dpi) + "\n", 0), 0u) << output;
        EXPECT_EQ(output.find("fail"), std::string::npos) << output;
        EXPECT_NE(output.find("tightest about"), std::string::npos) << output;
        std::printf("%s", output.c_str());
    }
    test::DeleteValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    test::CleanMachine();
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "measure") == 0)
        return MeasureAll();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
