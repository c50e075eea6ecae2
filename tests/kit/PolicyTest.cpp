// The administrators' .reg files against the registry view the shipped 32-bit module reads.
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kLogFolder = "C:\\ProgramData\\BRAMOK\\11.3";

void ClearSwitchInBothViews()
{
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", 0,
                          KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "DisableActivityLog");
            RegCloseKey(key);
        }
    }
}

} // namespace

TEST(PolicyTest, ARegFileSwitchesTheLogOffOnlyThroughThe32BitView)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "the .reg files target the shipped 32-bit module's registry view; "
                        "this build's module is 64-bit";
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    // From this 32-bit process "sysnative" reaches the 64-bit reg.exe, "system32" the 32-bit one.
    const std::string reg64 = std::string(windows) + "\\sysnative\\reg.exe";
    const std::string reg32 = std::string(windows) + "\\system32\\reg.exe";
    const struct {
        std::string reg;
        const char* file;
        bool logged;
    } rows[] = {
        {reg64, "DisableActivityLog-64bit-Windows.reg", false},
        {reg64, "DisableActivityLog-32bit-Windows.reg", true},   // lands in the 64-bit view only
        {reg32, "DisableActivityLog-32bit-Windows.reg", false},
    };
    test::Deployment deployment("policy");
    deployment.AddLanguage("uk");
    for (const auto& row : rows) {
        ClearSwitchInBothViews();
        test::FreshFolder(kLogFolder);
        int exitCode = -1;
        test::RunProcess("\"" + row.reg + "\" import \"" + test::ExecutableFolder() + "policy\\" +
                             row.file + "\"", 60000, &exitCode);
        EXPECT_EQ(exitCode, 0) << row.reg << " import " << row.file;
        EXPECT_EQ(deployment.Run("startup 1"), "startup 1\n");
        EXPECT_EQ(test::ListFiles(kLogFolder).size(), row.logged ? 1u : 0u)
            << row.reg << " import " << row.file;
    }
    ClearSwitchInBothViews();
    test::RemoveTree(kLogFolder);
}
