// Times the Software Updates dialog under wine: from the export call to the
// end of its WM_INITDIALOG, against the floor of the same template run by a
// bare dialog procedure.
#include "framework/AfxModule.h"
#include "framework/WinApp.h"
#include "language/LanguageResourceIds.h"
#include "module/BRMSUPP.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 20;
double g_initialised = 0;

double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Notes when a dialog has finished initialising and closes it.
LRESULT CALLBACK AfterInit(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITDIALOG) {
        g_initialised = NowMs();
        PostMessageA(message->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

void Print(const char* what, std::vector<double> samples, double floor)
{
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%-40s median %7.2f ms  min %7.2f ms", what, median, samples.front());
    if (floor > 0)
        std::printf("  %5.2fx floor", median / floor);
    std::printf("\n");
}

} // namespace

int main()
{
    CWinApp app("BRAMOK");
    AfxWinInit(GetModuleHandleA(nullptr));
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);

    HMODULE support = LoadLibraryA((folder + "BRMSUPP.dll").c_str());
    auto startup = BRMSUPP_BIND(support, ModuleStartup);
    auto show = BRMSUPP_BIND(support, ShowSoftwareUpdates);
    const uint32_t code = 1;
    if (startup == nullptr || show == nullptr || startup(&code, nullptr, 0, 0) != 1) {
        std::printf("support module not usable\n");
        return 1;
    }
    HINSTANCE language = AfxGetResourceHandle();

    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterInit, nullptr, GetCurrentThreadId());
    std::vector<double> bare;
    std::vector<double> dialog;
    for (int i = 0; i < kRuns; ++i) {
        double start = NowMs();
        DialogBoxParamA(language, MAKEINTRESOURCEA(IDD_SOFTWARE_UPDATES), nullptr, &BareProc, 0);
        bare.push_back(g_initialised - start);
        start = NowMs();
        show(nullptr);
        dialog.push_back(g_initialised - start);
    }
    UnhookWindowsHookEx(hook);
    std::sort(bare.begin(), bare.end());
    std::printf("Software Updates dialog, %d runs each\n", kRuns);
    Print("floor: bare dialog to WM_INITDIALOG", bare, 0);
    Print("ShowSoftwareUpdates to OnInitDialog done", dialog, bare[bare.size() / 2]);
    return 0;
}
