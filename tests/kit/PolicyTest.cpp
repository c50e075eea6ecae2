#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

// Each .reg file, and the template as the policy engine writes it into the 64-bit view (enabled:
// the .reg files' 1 in both places; disabled: 0), against the registry view the module reads.
TEST(PolicyTest, RegFilesAndTheTemplateSwitchTheLogOnItsWindows)
{
    if (sizeof(void*) != 4) GTEST_SKIP() << "the policy files target the shipped 32-bit module's registry view";
    test::Deployment deployment("policy");
    deployment.AddLanguage("uk");
    const auto logs = [&](const std::string& why, bool clear) {   // clear: no policy left after
        test::FreshFolder(test::kLogFolder);
        EXPECT_EQ(deployment.Run("startup 1"), "startup 1\n") << why;
        if (clear)
            for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", view, 0);
        return !test::ListFiles(test::kLogFolder).empty();
    };
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    // From this 32-bit process "sysnative" reaches the 64-bit reg.exe, "system32" the 32-bit
    // one, standing in for 64-bit and 32-bit Windows.
    for (const auto& [folder, file] : {std::pair{"sysnative", "DisableActivityLog-64bit-Windows.reg"},
                                       std::pair{"system32", "DisableActivityLog-32bit-Windows.reg"}}) {
        test::RunProcess(std::string("\"") + windows + "\\" + folder + "\\reg.exe\" import \"" +
                             test::ExecutableFolder() + "policy\\" + file + "\"", 60000);
        EXPECT_FALSE(logs(file, true));
    }
    const std::string admx = test::ReadFileText(test::ExecutableFolder() + "policy\\BRAMOK.admx");
    const std::regex key(R"re(key="([^"]*)" valueName="([^"]*)")re");
    std::vector<std::pair<std::string, std::string>> places;   // the policy's own, then its items
    for (std::sregex_iterator at(admx.begin(), admx.end(), key), end; at != end; ++at)
        places.emplace_back((*at)[1], (*at)[2]);
    ASSERT_EQ(places.size(), 3u) << admx;
    for (const std::string state : {"enabled", "disabled"}) {
        std::smatch value, item;
        const std::string number = R"re(<decimal value="(\d+)")re";
        ASSERT_TRUE(std::regex_search(admx, value, std::regex("<" + state + "Value>" + number)));
        ASSERT_TRUE(std::regex_search(admx, item, std::regex("<" + state + R"re(List>\s*<item )re" +
            R"re(key="([^"]*)" valueName="([^"]*)">\s*<value>)re" + number)));
        const auto& listed = places.at(state == "enabled" ? 1 : 2);
        EXPECT_EQ(item[1].str() + item[2].str(), listed.first + listed.second);
        const std::pair<std::pair<std::string, std::string>, std::string> writes[] = {
            {places.at(0), value[1]}, {{item[1], item[2]}, item[3]}};
        for (const auto& [place, written] : writes) {
            const DWORD data = std::stoul(written);
            EXPECT_EQ(data, state == "enabled" ? 1u : 0u) << state << " " << place.first;
            HKEY opened = nullptr;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, place.first.c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &opened, nullptr);
            RegSetValueExA(opened, place.second.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof data);
            RegCloseKey(opened);
        }
        EXPECT_EQ(logs(state, state == "disabled"), state == "disabled");
    }
    test::RemoveTree(test::kLogFolder);
}
