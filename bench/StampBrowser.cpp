// Stand-in browser for the page-open benchmark: writes the performance
// counter at its first instruction of main to the file BRM_BENCH_STAMP names.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const char* stamp = std::getenv("BRM_BENCH_STAMP");
    FILE* file = stamp != nullptr ? std::fopen(stamp, "wb") : nullptr;
    if (file == nullptr)
        return 1;
    std::fprintf(file, "%lld", static_cast<long long>(now.QuadPart));
    std::fclose(file);
    return 0;
}
