// Times whole host runs under wine: process start, module load, start-up
// (language choice, module load, activity record), shutdown and exit,
// against the floor of a host run that only loads the module.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 10;

double NowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double RunMs(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    const double start = NowMs();
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started)
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    const double elapsed = NowMs() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

void Report(const char* what, const std::string& commandLine)
{
    std::vector<double> samples;
    samples.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i)
        samples.push_back(RunMs(commandLine));
    std::sort(samples.begin(), samples.end());
    std::printf("%-38s median %8.1f ms  min %8.1f ms\n", what, samples[samples.size() / 2],
                samples.front());
}

} // namespace

int main()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    const std::string host = "\"" + folder + "BramokHost.exe\"";
    std::printf("host runs under wine, %d each\n", kRuns);
    Report("host: load module only", host + " version");
    Report("host: start-up, shutdown", host + " startup 1 shutdown");
    return 0;
}
