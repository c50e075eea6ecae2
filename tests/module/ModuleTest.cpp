#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using test::State;

namespace {

const std::string kLogFolder = "C:\\ProgramData\\BRAMOK\\11.3";
const std::string kHost = "BramokHost.exe";
const std::string kShutdown = "shutdown cursor-restored 1\n";
const std::string kStartupState = "startup 77 nowindow state";

// Start-up without a window leaves the language module as the resource handle.
std::string StartedWith(const std::string& module)
{
    return "startup 1\n" + State(module + "\\BRMSUPP.DLL", module + "\\BRMSUPP.DLL");
}

std::string Stored()
{
    return test::StoredValue(HKEY_CURRENT_USER, test::kProductKey, "Language");
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        test::FreshFolder(kLogFolder);
    }
    void TearDown() override
    {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        test::RemoveTree(kLogFolder);
    }
    static std::string LogText()
    {
        const std::vector<std::string> files = test::ListFiles(kLogFolder);
        return files.size() == 1 ? test::ReadFileText(kLogFolder + "\\" + files[0]) : "";
    }
};

} // namespace

TEST_F(ModuleTest, StartupRestoresTheResourceHandleRecordsTheRunAndCanBeRepeated)
{
    test::Deployment deployment("startup");
    deployment.AddLanguage("uk");
    deployment.AddLanguage("nl");
    test::SetLanguage(std::string("nl\0", 3));
    EXPECT_EQ(deployment.Run("state startup 4711 state"),
              State(kHost, "none") + "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    const std::string log = LogText();
    EXPECT_EQ(log.rfind("[System]\r\n", 0), 0u) << log;
    EXPECT_NE(log.find("[4711-1-9]\r\n1=1\r\n"), std::string::npos) << log;

    // A second start-up replaces a module loaded meanwhile and counts again.
    EXPECT_EQ(deployment.Run("startup 1 load uk startup 1 state"),
              "startup 1\nload uk\\BRMSUPP.dll\nstartup 1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    EXPECT_NE(LogText().find("[1-1-9]\r\n1=2\r\n"), std::string::npos);

    // Without an application object there is no wait cursor count, the rest works.
    EXPECT_EQ(deployment.Run("noapp startup 3 state shutdown"),
              "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL", -1) + kShutdown);
    EXPECT_NE(LogText().find("[3-1-9]\r\n1=1\r\n"), std::string::npos);
}

TEST_F(ModuleTest, NoLanguageModuleMeansResultZeroAndNothingElse)
{
    test::Deployment deployment("no-modules");
    deployment.AddFolder("nl");
    test::SetLanguage(std::string("nl\0", 3));
    // No message box may show: the host would not finish.
    EXPECT_EQ(deployment.Run("startup 5 nowindow state startup 5 state"),
              "startup 0\n" + State(kHost, "none") + "startup 0\n" + State(kHost, "none"));
    EXPECT_TRUE(test::ListFiles(kLogFolder).empty());
}

TEST_F(ModuleTest, ShutdownFreesOnlyWithAWindowAndNeverTwiceVersionDateAlways)
{
    test::Deployment deployment("shutdown");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run("startup 1 shutdown nowindow state shutdown state shutdown state"),
              "startup 1\n" + kShutdown + State(kHost, "uk\\BRMSUPP.DLL") + kShutdown +
                  State(kHost, "none") + kShutdown + State(kHost, "none"));
    // After a start-up without a window the freed module is not left as the resource handle.
    EXPECT_EQ(deployment.Run("startup 1 nowindow shutdown state"),
              "startup 1\n" + kShutdown + State(kHost, "none"));
    const std::string version = "version 5 2015\n";
    EXPECT_EQ(deployment.Run("version startup 1 version load xx version shutdown version"),
              version + "startup 1\n" + version + "load none\n" + version + kShutdown + version);
}

TEST_F(ModuleTest, RegistryValueChoosesTheModuleWithoutAScan)
{
    test::Deployment deployment("registry-value");
    for (const char* code : {"uk", "us", "nl"})
        deployment.AddLanguage(code);
    deployment.AddFolder("de");
    test::SetLanguage(std::string("nl\0", 3));
    EXPECT_EQ(deployment.Run(kStartupState), StartedWith("nl"));
    EXPECT_EQ(Stored(), std::string("nl\0", 3));
}

TEST_F(ModuleTest, ScanTakesTheFirstTwoLetterFolderStoresItAndFallsBackToUk)
{
    test::Deployment us("scan-us");
    us.AddFolder("bin");
    us.AddFile("uk");   // a file, not a folder
    us.AddLanguage("us");
    EXPECT_EQ(us.Run(kStartupState), StartedWith("us"));
    EXPECT_EQ(Stored(), std::string("us\0", 3));

    // A scanned folder without a module: "uk" loads, the found code stays stored.
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::Deployment de("scan-de");
    de.AddFolder("de");
    de.AddLanguage("uk");
    EXPECT_EQ(de.Run(kStartupState), StartedWith("uk"));
    EXPECT_EQ(Stored(), std::string("de\0", 3));

    // No two-letter folder beside the host (the module and its languages lie elsewhere):
    // "uk" beside the module, no value, but the key is made.
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::Deployment host("host-alone");
    host.AddFolder("bin");
    host.AddFolder("abc");
    EXPECT_EQ(host.Run("from " + de.Folder() + " " + kStartupState), StartedWith(de.Folder() + "\\uk"));
    EXPECT_EQ(Stored(), "<none>");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, test::kProductKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(ModuleTest, OddValuesAreNeverReadPastTheirRoom)
{
    test::Deployment deployment("odd-values");
    deployment.AddLanguage("uk");
    deployment.AddLanguage("nl");
    const std::string fifteen("abcdefghijklmno\0", 16);
    const struct {
        std::string bytes;
        DWORD type;
        const char* loaded;
        std::string storedAfter;
    } rows[] = {
        {std::string(1, '\0'), REG_SZ, "uk", std::string(1, '\0')},   // empty: kept
        {"nl", REG_BINARY, "nl", "nl<type 3>"},   // no terminator, wrong type: still a code
        {fifteen, REG_SZ, "uk", fifteen},   // the longest code; no such folder
        // Sixteen bytes unterminated, or longer than the room: unreadable, so the scan runs
        // and stores the first folder it finds.
        {"abcdefghijklmnop", REG_BINARY, "nl", std::string("nl\0", 3)},
        {std::string(300, 'z') + '\0', REG_SZ, "nl", std::string("nl\0", 3)},
    };
    for (const auto& row : rows) {
        test::SetLanguage(row.bytes, row.type);
        EXPECT_EQ(deployment.Run(kStartupState), StartedWith(row.loaded)) << row.bytes;
        EXPECT_EQ(Stored(), row.storedAfter) << row.bytes;
    }
}

TEST_F(ModuleTest, LoadLanguageModuleSwitchesAndFailsWithinItsRoom)
{
    test::Deployment deployment("switch");
    for (const char* code : {"uk", "us", "nl"})
        deployment.AddLanguage(code);
    test::SetLanguage(std::string("nl\0", 3));
    // With a window the host's resource handle stays its own throughout. A switch loads the
    // support module's own file name in the folder.
        EXPECT_EQ(deployment.Run("startup 1 state load us state load xx state"),
              "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL") + "load us\\BRMSUPP.dll\n" +
                  State(kHost, "us\\BRMSUPP.dll") + "load none\n" + State(kHost, "none"));
    // Without a window the language module is the resource handle; a switch must never
    // leave it naming the freed module.
    EXPECT_EQ(deployment.Run("startup 1 nowindow load us state load xx state load uk state"),
              "startup 1\nload us\\BRMSUPP.dll\n" + State("us\\BRMSUPP.dll", "us\\BRMSUPP.dll") +
                  "load none\n" + State(kHost, "none") + "load uk\\BRMSUPP.dll\n" +
                  State(kHost, "uk\\BRMSUPP.dll"));
    EXPECT_EQ(Stored(), std::string("nl\0", 3));   // a switch does not touch the registry

    // A folder deep enough that the host fits but a code of 15 characters does not: the
    // code's module path is refused and "uk" still loads.
    const std::string parent(100, 'p');
    test::Deployment nested(parent + "\\" + std::string(120, 'q'));
    nested.AddLanguage("uk");
    test::SetLanguage(std::string("abcdefghijklmno\0", 16));
    EXPECT_EQ(nested.Run("startup 1 nowindow state load abcdefghijklmno state"),
              StartedWith("uk") + "load none\n" + State(kHost, "none"));
    test::RemoveTree("C:\\brmtest\\" + parent);
}
