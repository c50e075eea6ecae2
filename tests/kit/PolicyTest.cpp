// The administrators' .reg files against the registry view the shipped 32-bit module reads.
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(PolicyTest, EachRegFileSwitchesTheLogOffOnItsWindows)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "the .reg files target the shipped 32-bit module's registry view";
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    // From this 32-bit process "sysnative" reaches the 64-bit reg.exe, "system32" the 32-bit
    // one, standing in for 64-bit and 32-bit Windows.
    const std::pair<const char*, const char*> rows[] = {
        {"sysnative", "DisableActivityLog-64bit-Windows.reg"},
        {"system32", "DisableActivityLog-32bit-Windows.reg"}};
    test::Deployment deployment("policy");
    deployment.AddLanguage("uk");
    for (const auto& [folder, file] : rows) {
        test::FreshFolder(test::kLogFolder);
        test::RunProcess(std::string("\"") + windows + "\\" + folder + "\\reg.exe\" import \"" +
                             test::ExecutableFolder() + "policy\\" + file + "\"", 60000);
        EXPECT_EQ(deployment.Run("startup 1"), "startup 1\n");
        EXPECT_TRUE(test::ListFiles(test::kLogFolder).empty()) << file;
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", view, 0);
    }
    test::RemoveTree(test::kLogFolder);
}
