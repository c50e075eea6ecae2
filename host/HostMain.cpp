// The demo host: an application object and a main window on the framework, calling the support
// module's exports as its command line asks (the commands: host/HostSession.h), e.g.
//   BramokHost startup 1 version open 0 null updates about shutdown
#include "host/HostSession.h"

#include <cstdio>

int main(int argc, char** argv)
{
    CHostApp app;
    HostSession host;
    if (!host.Open(nullptr)) {
        std::printf("error: BRMSUPP.dll or its exports not found\n");
        return 3;
    }
    for (int i = 1; i < argc; ++i) {
        if (!host.Run(argc, argv, i)) {
            std::printf("error: unknown command %s\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
