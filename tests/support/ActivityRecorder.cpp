// Test helper: records runs or writes an inventory in a process of its own,
// so tests can run several at once or under another Windows version.
//   ActivityRecorder record COUNT CODE CATEGORY
//   ActivityRecorder inventory PATH
//   ActivityRecorder path            prints the month's log file path
#include "activity/ActivityLog.h"
#include "activity/SystemInventory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "record") == 0) {
        const long count = std::strtol(argv[2], nullptr, 10);
        const auto code = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
        const auto category = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
        for (long i = 0; i < count; ++i)
            LogActivity(code, category);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "inventory") == 0) {
        WriteSystemInventory(argv[2]);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "path") == 0) {
        char path[kActivityPathSize];
        GetActivityLogPath(path);
        std::printf("%s\n", path);
        return path[0] != '\0' ? 0 : 1;
    }
    return 2;
}
