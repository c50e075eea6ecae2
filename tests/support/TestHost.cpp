// The host the tests drive: TestHost [from DIR] COMMAND..., the demo host's commands and probes
// of its own (see main); TestHost service [slow] is the stand-in update service.
#include "host/HostSession.h"
#include "language/LanguageResourceIds.h"
#include "tests/support/WinTestSupport.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>

namespace {

using test::ReplaceImport;
const char* const kUsSection = "BRAMOK 11.3 (English US)";

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

BOOL WINAPI WatchedBeep(UINT type)
{
    Say("beep " + std::to_string(type));
    return MessageBeep(type);
}

std::vector<std::string> g_steps;   // the keys command's, and the dialog they work
std::size_t g_step = 0;
HWND g_dialog = nullptr;

void CALLBACK ReadBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = GetActiveWindow();
    if (box == nullptr || box == g_dialog || GetDlgItem(box, 0xFFFF) == nullptr)
        return;
    KillTimer(nullptr, timer);
    Say("box " + test::WindowText(box) + ": " + test::WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

int WINAPI WatchedBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    SetTimer(nullptr, 0, 50, ReadBox);
    return MessageBoxA(owner, text, caption, type);
}

void Press(UINT key)
{
    MSG message = {};
    message.hwnd = GetFocus();
    message.message = WM_KEYDOWN;
    message.wParam = key;
    IsDialogMessageA(g_dialog, &message);
    message.message = WM_KEYUP;
    IsDialogMessageA(g_dialog, &message);
}

void Unserve();

// A step of the keys command a tick, from the dialog's own loop.
void CALLBACK WorkDialog(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND active = GetActiveWindow();
    if (g_dialog == nullptr && active != nullptr && IsWindowVisible(active)) {
        g_dialog = active;
        const HWND owner = GetWindow(active, GW_OWNER);
        Say(owner != nullptr && !IsWindowEnabled(owner) ? "shown modal" : "shown");
        // The modes and the upload ticked or not, and the upload's text, which tells the language.
        std::string checks = "checks ";
        for (int id : {IDC_UPDATE_MODE_1, IDC_UPDATE_MODE_2, IDC_UPDATE_MODE_3, IDC_PRODUCT_UPLOAD})
            checks += std::to_string(IsDlgButtonChecked(active, id));
        if (HWND upload = GetDlgItem(active, IDC_PRODUCT_UPLOAD))
            Say(checks + " " + test::WindowText(upload));
    }
    if (active != g_dialog || g_step == g_steps.size())   // not shown yet, a box of its own, done
        return;
    const std::string step = g_steps[g_step++];
    const std::map<std::string, UINT> keys = {{"tab", VK_TAB},      {"down", VK_DOWN},
                                              {"up", VK_UP},        {"space", VK_SPACE},
                                              {"enter", VK_RETURN}, {"esc", VK_ESCAPE}};
    if (step[0] == '@') {
        const HWND control = GetDlgItem(g_dialog, std::atoi(&step[1]));
        SendMessageA(g_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    } else if (step == "unserve") {
        Unserve();
    } else if (keys.count(step) == 0) {
        const int id = std::atoi(step.c_str());
        SendDlgItemMessageA(g_dialog, id, BM_CLICK, 0, 0);
        const HWND status = GetDlgItem(g_dialog, IDC_CHECK_STATUS);
        if (id == IDC_CHECK_NOW && IsWindowVisible(status))
            Say("status " + test::WindowText(status));
    } else if (step == "enter" || step == "esc") {
        const LRESULT code = SendDlgItemMessageA(g_dialog, IDOK, WM_GETDLGCODE, 0, 0);
        Say(step + ((code & DLGC_DEFPUSHBUTTON) != 0 ? " default" : ""));
        Press(keys.at(step));
    } else {
        const HWND start = GetFocus();
        std::string went = step;
        for (int press = 0; press < 10; ++press) {
            Press(keys.at(step));
            went += " " + std::to_string(GetDlgCtrlID(GetFocus()));
            if (step != "tab" || GetFocus() == start)
                break;
        }
        char kind[8] = "";
        GetClassNameA(GetFocus(), kind, sizeof kind);
        if (step == "space" && _stricmp(kind, "Button") == 0)   // the tick the user sees
            went += IsDlgButtonChecked(g_dialog, GetDlgCtrlID(GetFocus())) ? " ticked" : " clear";
        Say(went);
    }
}

// The fit command's dialog in a language, at the scale the process started with.
std::string g_fitName;   // what is measured: language and scale
HMODULE g_fitLanguage = nullptr;   // where the status texts come from

void Fail(const std::string& fault)
{
    Say("fail " + g_fitName + ": " + fault);
}

std::string Name(HWND control, const std::string& text)
{
    return std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\"";
}

// Text in the control's own font, in its client area less margin (a check glyph, a frame).
void Fit(HWND control, const std::string& text, bool wrap, int margin, UINT prefix)
{
    RECT client;
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right - margin, 0};
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text.c_str(), -1, &needed,
              DT_CALCRECT | prefix | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    ReleaseDC(control, dc);
    if (needed.right > client.right - margin || needed.bottom > client.bottom)
        Fail(Name(control, text) + " clipped: " + std::to_string(needed.right) + " px against " +
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
    const auto family = reinterpret_cast<UINT_PTR>(metrics[0].otmpFamilyName);
    const char* names = reinterpret_cast<const char*>(metrics);
    Say(std::string("font ") + (size != 0 && family < size ? names + family : "?"));
    RECT client, both, four = {0, 0, 4, 0};   // 4 dialog units: a button's frames
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &four);
    std::map<char, std::string> mnemonics;
    std::vector<std::tuple<RECT, std::string, bool>> placed;   // with whether a group box
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        char kind[16] = "";
        GetClassNameA(control, kind, sizeof kind);
        const std::string text = test::WindowText(control), name = Name(control, text);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const bool button = _stricmp(kind, "Button") == 0;
        const bool prefix = button || (style & SS_NOPREFIX) == 0;
        const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
        const bool check = button && (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX);
        const int margin = check                 ? GetSystemMetrics(SM_CXMENUCHECK) + four.right / 2
                           : !button             ? 0
                           : type == BS_GROUPBOX ? 2 * four.right
                                                 : four.right;
        Fit(control, text, button ? (style & BS_MULTILINE) != 0 : type <= SS_RIGHT, margin,
            prefix ? 0 : DT_NOPREFIX);
        for (UINT id : {IDS_CHECK_REQUEST_SENT, IDS_CHECK_REQUEST_FAILED}) {
            char status[260] = "";
            if (GetDlgCtrlID(control) == IDC_CHECK_STATUS &&
                LoadStringA(g_fitLanguage, id, status, sizeof status) > 0)
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
        // Only a group box, placed first, holds others.
        for (const auto& [other, otherName, group] : placed) {
            if (IntersectRect(&both, &rect, &other) && !(group && EqualRect(&both, &rect)))
                Fail(name + " overlaps " + otherName);
        }
        placed.emplace_back(rect, name, button && type == BS_GROUPBOX);
    }
}

// Closes the dialog once shown and drawn whole (measured first for fit): every soak cycle draws.
void CALLBACK CloseShownDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (dialog == nullptr || !IsWindowVisible(dialog))
        return;
    KillTimer(nullptr, timer);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!g_fitName.empty())
        Measure(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void FitCommand(HostSession& host, const std::string& name)
{
    HDC screen = GetDC(nullptr);
    g_fitName = name + " " + std::to_string(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    Say("fit " + g_fitName);
    SetTimer(nullptr, 0, 50, CloseShownDialog);
    g_fitLanguage = host.support.loadLanguage(name.c_str());
    if (host.support.showUpdates(nullptr) != IDCANCEL)
        Fail("not shown");
}

// A platform call answered with result and nothing done: a failed query of the inventory.
template <int Result, typename... Arguments> int WINAPI Answer(Arguments...)
{
    return Result;
}

// A failed query's record may hold anything.
BOOL WINAPI FailFilled(MEMORYSTATUSEX* status)
{
    status->ullTotalPhys = 1ull << 40;
    return FALSE;
}

FARPROC WINAPI NoProcessorInfo(HMODULE module, LPCSTR name)
{
    if (std::strcmp(name, "GetLogicalProcessorInformation") == 0)
        return nullptr;
    return GetProcAddress(module, name);
}

// Three displays, the first with its adapter named " \t ab", the second not attached.
BOOL WINAPI UnusualDisplays(const char*, DWORD index, DISPLAY_DEVICEA* device, DWORD)
{
    const DWORD flags[] = {DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE, 0,
                           DISPLAY_DEVICE_ATTACHED_TO_DESKTOP};
    if (index >= 3)
        return FALSE;
    std::strcpy(device->DeviceString, index == 0 ? " \t ab" : "other");
    device->StateFlags = flags[index];
    return TRUE;
}

// A computer name of the full 15 characters, answered as the platform answers.
BOOL WINAPI LongComputerName(char* name, DWORD* size)
{
    const char full[] = "FIFTEEN-LETTERS";
    if (*size < sizeof full) {
        *size = sizeof full;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::strcpy(name, full);
    *size = sizeof full - 1;
    return TRUE;
}

// The user's locale as it is, but with no ANSI code page.
int WINAPI NoAnsiCodePage(LCID locale, LCTYPE type, char* text, int size)
{
    if (type != LOCALE_IDEFAULTANSICODEPAGE)
        return GetLocaleInfoA(locale, type, text, size);
    std::strcpy(text, "0");
    return 2;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Handles, GDI objects, cursors, windows, then (asked) memory in KiB: the sweep's cost before it.
std::string Holdings(bool withMemory)
{
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    const test::Holdings held = test::CountHoldings();
    char text[160];
    std::snprintf(text, sizeof text, "handles=%d gdi=%d cursors=%d windows=%d", held.handles,
                  held.gdi, held.cursors, windows);
    if (!withMemory)
        return text;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return text + (" memory=" + std::to_string(counters.PagefileUsage / 1024));
}

void Soak(HostSession& host, int cycles, int pageEvery)
{
    std::string half;
    const uint32_t code = 1;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        // Each start-up looks for a language and takes the inventory of a new log.
        RegDeleteKeyValueA(HKEY_CURRENT_USER, test::kProductKey, "Language");
        test::FreshFolder(test::kLogFolder);
        host.support.startup(&code, &host.mainWindow, 0, 0);
        for (const char* language : {"uk", "us", "xx", "nl"})
            host.support.loadLanguage(language);
        SetTimer(nullptr, 0, 0, CloseShownDialog);
        host.support.showUpdates(&host.mainWindow);
        if ((cycle - 1) % pageEvery == 0)
            host.support.openPage(2, "");
        host.support.shutdown(&host.mainWindow);
        if (cycle == cycles / 2)
            half = Holdings(true);
    }
    const std::string last = Holdings(true);
    std::printf("soak %d half %s last %s\n", cycles, half.c_str(), last.c_str());
}

// The stand-in update service "VORANDA Update", and the serve command that installs it.
char g_serviceName[] = "VORANDA Update";
bool g_slow = false;   // answers check-now after the manager's wait
HANDLE g_stopped = nullptr;
SC_HANDLE g_manager = nullptr;
SC_HANDLE g_service = nullptr;

DWORD WINAPI ServiceHandler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP)
        SetEvent(g_stopped);
    if (control != 130)
        return NO_ERROR;
    const std::string flag = test::ProfileString(test::kSettings, kUsSection, "Check");
    std::ofstream(test::kServiceRecord, std::ios::app | std::ios::binary)
        << "130 check=" << flag << "\n";
    Sleep(g_slow ? 11000 : 0);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR*)
{
    SERVICE_STATUS status = {
        SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, SERVICE_ACCEPT_STOP, 0, 0, 0, 0};
    const SERVICE_STATUS_HANDLE handle =
        RegisterServiceCtrlHandlerExA(g_serviceName, &ServiceHandler, nullptr);
    SetServiceStatus(handle, &status);
    WaitForSingleObject(g_stopped, INFINITE);
    status.dwCurrentState = SERVICE_STOPPED;
    SetServiceStatus(handle, &status);
}

bool Reaches(DWORD state)
{
    SERVICE_STATUS status = {};
    for (const ULONGLONG end = GetTickCount64() + 15000; GetTickCount64() < end; Sleep(50)) {
        if (QueryServiceStatus(g_service, &status) && status.dwCurrentState == state)
            return true;
    }
    return false;
}

// Stops and deletes the service, through the handle the manager gave, else one opened now.
void Unserve()
{
    SERVICE_STATUS status = {};
    if (g_service == nullptr)
        g_service = OpenServiceA(g_manager, g_serviceName, SERVICE_ALL_ACCESS);
    if (ControlService(g_service, SERVICE_CONTROL_STOP, &status))
        Reaches(SERVICE_STOPPED);
    DeleteService(g_service);
    CloseServiceHandle(g_service);
    g_service = nullptr;
}

// Installs the service as kind asks (none, stopped, running, slow), after removing any left.
void Serve(const std::string& kind)
{
    g_manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    Unserve();
    g_slow = kind == "slow";
    if (kind == "none")
        return;
    const std::string command = test::BuiltHost() + "service" + (g_slow ? " slow" : "");
    g_service =
        CreateServiceA(g_manager, g_serviceName, g_serviceName, SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                       command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (kind != "stopped" && !(StartServiceA(g_service, 0, nullptr) && Reaches(SERVICE_RUNNING)))
        Say("service not running");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "service") == 0) {
        g_slow = argc > 2;
        g_stopped = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        SERVICE_TABLE_ENTRYA table[] = {{g_serviceName, &ServiceMain}, {nullptr, nullptr}};
        return StartServiceCtrlDispatcherA(table) ? 0 : 1;
    }
    int i = 1;
    CHostApp app;
    const char* folder = nullptr;
    if (i + 1 < argc && std::strcmp(argv[i], "from") == 0) {
        folder = argv[i + 1];
        i += 2;
    }
    HostSession host;
    if (!host.Open(folder)) {
        std::printf("error: BRMSUPP.dll or its exports not found\n");
        return 3;
    }
    const HMODULE support = host.support.module;
    const HMODULE framework = GetModuleHandleA("BRMFW.dll");
    HCURSOR beforeWait = nullptr;
    for (; i < argc; ++i) {
        const std::string command = argv[i];
        const HCURSOR cursor = GetCursor();
        if (command == "watch") {
            for (HMODULE module : {support, framework}) {
                ReplaceImport(module, "MessageBeep", &WatchedBeep);
                ReplaceImport(module, "MessageBoxA", &WatchedBox);
            }
        } else if (command == "failing") {
            ReplaceImport(support, "GetVersionExA", &Answer<FALSE, void*>);
            ReplaceImport(support, "GlobalMemoryStatusEx", &FailFilled);
            ReplaceImport(support, "EnumDisplaySettingsA", &Answer<FALSE, LPCSTR, DWORD, void*>);
            ReplaceImport(support, "EnumDisplayDevicesA",
                          &Answer<FALSE, LPCSTR, DWORD, void*, DWORD>);
            ReplaceImport(support, "GetLocaleInfoA", &Answer<0, LCID, LCTYPE, LPSTR, int>);
            ReplaceImport(support, "GetProcAddress", &NoProcessorInfo);
        } else if (command == "unusual") {
            ReplaceImport(support, "EnumDisplayDevicesA", &UnusualDisplays);
            ReplaceImport(support, "GetLocaleInfoA", &NoAnsiCodePage);
            ReplaceImport(support, "GetComputerNameA", &LongComputerName);
        } else if (command == "keys") {
            while (++i < argc && std::strcmp(argv[i], ".") != 0)
                g_steps.emplace_back(argv[i]);
            SetTimer(nullptr, 0, 50, WorkDialog);
        } else if (command == "serve" && i + 1 < argc) {
            Serve(argv[++i]);
        } else if (command == "locale") {
            std::printf("locale %s\n", std::setlocale(LC_ALL, nullptr));
        } else if (command == "held") {
            std::printf("held %s\n", Holdings(false).c_str());
        } else if (command == "wait") {
            beforeWait = GetCursor();
            app.BeginWaitCursor();
        } else if (command == "endwait") {
            app.EndWaitCursor();
            std::printf("cursor %s\n", GetCursor() == beforeWait ? "restored" : "not restored");
        } else if (command == "soak" && i + 2 < argc) {
            const int cycles = std::atoi(argv[++i]);
            Soak(host, cycles, std::max(1, std::atoi(argv[++i])));
        } else if (command == "fit" && i + 1 < argc) {
            FitCommand(host, argv[++i]);
        } else if (!host.Run(argc, argv, i)) {
            std::printf("error: unknown command %s\n", command.c_str());
            return 2;
        }
        if (command == "shutdown" && GetCursor() != cursor)
            std::printf("cursor not restored\n");
        std::fflush(stdout);
    }
    if (g_manager != nullptr) {
        Sleep(g_slow ? 12000 : 0);   // the slow answer done before the stop is queued
        Unserve();
        CloseServiceHandle(g_manager);
    }
    return 0;
}
