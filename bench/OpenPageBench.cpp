// Times OpenPage from the call to the browser process running,
// against the floor of starting the same browser with CreateProcessA alone.
#include "module/BRMSUPP.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 20;

double Ms(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The counter the stand-in browser wrote when it started; 0 on time-out.
LONGLONG WaitForStamp(const std::string& path)
{
    for (int i = 0; i < 5000; ++i) {
        FILE* file = std::fopen(path.c_str(), "rb");
        long long ticks = 0;
        if (file != nullptr) {
            const int read = std::fscanf(file, "%lld", &ticks);
            std::fclose(file);
            if (read == 1 && ticks > 0)
                return ticks;
        }
        Sleep(1);
    }
    return 0;
}

template <typename Start>
void Report(const char* what, const std::string& stamp, Start start)
{
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        DeleteFileA(stamp.c_str());
        const LONGLONG begin = Now();
        start();
        const LONGLONG started = WaitForStamp(stamp);
        if (started != 0)
            samples.push_back(Ms(started - begin));
        Sleep(50);   // let the browser exit before the next run
    }
    if (samples.empty()) {
        std::printf("%-38s no browser start seen\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-38s median %8.2f ms  min %8.2f ms  (%zu runs)\n", what,
                samples[samples.size() / 2], samples.front(), samples.size());
}

} // namespace

int main()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    const std::string stamp = folder + "open-page-stamp.txt";
    const std::string browser = "\"" + folder + "StampBrowser.exe\"";
    SetEnvironmentVariableA("BRM_BENCH_STAMP", stamp.c_str());
    const std::string command = browser + " \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, command.c_str(),
                 static_cast<DWORD>(command.size()));

    HMODULE support = LoadLibraryA((folder + "BRMSUPP.dll").c_str());
    auto openPage = BRMSUPP_BIND(support, OpenPage);
    if (openPage == nullptr) {
        std::printf("BRMSUPP.dll or its OpenPage not found\n");
        return 1;
    }
    std::printf("page open to browser started under wine, %d each\n", kRuns);
    Report("OpenPage(2) to browser running", stamp, [&] { openPage(2, ""); });
    Report("floor: CreateProcessA to running", stamp, [&] {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string line = browser + " http://www.voranda.com/";
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    });
    DeleteFileA(stamp.c_str());
    FreeLibrary(support);
    return 0;
}
