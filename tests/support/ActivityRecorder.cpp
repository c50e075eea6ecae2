// Test helper: records runs or writes an inventory in a process of its own, so tests can run
// several at once or under another Windows version.
//   ActivityRecorder record COUNT CODE CATEGORY
//   ActivityRecorder inventory PATH
#include "activity/ActivityLog.h"
#include "activity/SystemInventory.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "record") == 0) {
        for (long i = std::strtol(argv[2], nullptr, 10); i > 0; --i)
            LogActivity(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)),
                        static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "inventory") == 0) {
        WriteSystemInventory(argv[2]);
        return 0;
    }
    return 2;
}
