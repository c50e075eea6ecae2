#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <utility>

// Each .reg file, and the template as the policy engine writes it into the 64-bit view (enabled:
// the .reg files' 1 in both places; disabled: 0), against the registry view the module reads.
TEST(PolicyTest, RegFilesAndTheTemplateSwitchTheLogOnItsWindows)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "the policy files target the shipped 32-bit module's registry view";
    const std::string policy = test::ExecutableFolder() + "policy\\";
    const auto logs = [](const std::string& why, bool clear) {   // clear: no policy left after
        test::FreshFolder(test::kLogFolder);
        EXPECT_EQ(test::RunHost("startup 1"), "startup 1\n") << why;
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            if (clear)
                RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", view, 0);
        }
        return !std::filesystem::is_empty(test::kLogFolder);
    };
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    // The 64-bit and 32-bit reg.exe stand in for 64-bit and 32-bit Windows.
    for (const auto& [folder, file] :
         {std::pair{"sysnative", "DisableActivityLog-64bit-Windows.reg"},
          std::pair{"system32", "DisableActivityLog-32bit-Windows.reg"}}) {
        test::RunProcess(std::string("\"") + windows + "\\" + folder + "\\reg.exe\" import \"" +
                         policy + file + "\"");
        EXPECT_FALSE(logs(file, true));
    }
    // The template's places (the policy's own, its enabled and disabled items) and numbers.
    const std::string admx = test::ReadFileText(policy + "BRAMOK.admx");
    std::pair<std::string, std::string> places[3];
    std::size_t found = 0;
    std::vector<DWORD> numbers;
    const std::regex key(R"re(key="([^"]*)" valueName="([^"]*)"|<decimal value="(\d+)")re");
    for (std::sregex_iterator at(admx.begin(), admx.end(), key), end; at != end; ++at)
        if ((*at)[3].matched)
            numbers.push_back(std::stoul((*at)[3].str()));
        else if (++found <= 3)
            places[found - 1] = {(*at)[1], (*at)[2]};
    ASSERT_EQ(found, 3u) << admx;
    ASSERT_EQ(numbers, (std::vector<DWORD>{1, 0, 1, 0}))
        << admx;   // enabled, disabled; then the items
    for (const int disabled : {0, 1}) {
        for (const auto& [place, data] : {std::pair{places[0], numbers[disabled]},
                                          std::pair{places[1 + disabled], numbers[2 + disabled]}}) {
            HKEY opened = nullptr;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, place.first.c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &opened, nullptr);
            RegSetValueExA(opened, place.second.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof data);
            RegCloseKey(opened);
        }
        EXPECT_EQ(logs(disabled ? "disabled" : "enabled", disabled), disabled == 1);
    }
    test::RemoveTree(test::kLogFolder);
}
