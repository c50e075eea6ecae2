#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using test::State;

namespace {

struct Step {
    const char* command;
    const char* output;
};

} // namespace

// Whatever order start-up without a window, a language switch and start-up with a window come
// in, the resource handle never names a freed module, also not after a later switch or
// shutdown: where it named the module a call replaced, it names the replacement.
TEST(ResourceHandle, NeverNamesAFreedModuleAfterAnyOrderOfStartupsAndSwitches)
{
    test::Deployment deployment("resource-handle");
    for (const char* code : {"uk", "us", "nl"})
        deployment.AddLanguage(code);
    test::SetLanguage(std::string("uk\0", 3));
    const Step bare{"startup 1 nowindow ", "startup 1\n"}, windowed{"startup 1 ", "startup 1\n"},
        load{"load us ", "load us\\BRMSUPP.dll\n"};
    const std::string uk = "uk\\BRMSUPP.DLL", us = "us\\BRMSUPP.dll", nl = "nl\\BRMSUPP.dll";
    const struct {
        Step steps[3];
        std::string current;   // the resource handle, and the one module loaded
    } rows[] = {
        {{bare, load, windowed}, uk}, {{bare, windowed, load}, us}, {{load, bare, windowed}, uk},
        {{load, windowed, bare}, uk}, {{windowed, bare, load}, us}, {{windowed, load, bare}, uk},
    };
    for (const auto& row : rows) {
        std::string commands, expected;
        for (const Step& step : row.steps) {
            commands += step.command;
            expected += step.output;
        }
        EXPECT_EQ(deployment.Run(commands + "state load nl state shutdown state"),
                  expected + State(row.current, row.current) + "load " + nl + "\n" +
                      State(nl, nl) + "shutdown cursor-restored 1\n" + State("BramokHost.exe", "none"))
            << commands;
    }
}
