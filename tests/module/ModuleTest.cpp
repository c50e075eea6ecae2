#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using test::State;

namespace {

const std::string kHost = "BramokHost.exe";
const std::string kShutdown = "shutdown cursor-restored 1\n";
const std::string kNl = std::string("nl\0", 3);

// Start-up without a window leaves the language module as the resource handle.
std::string StartedWith(const std::string& module)
{
    return "startup 1\n" + State(module + "\\BRMSUPP.DLL", module + "\\BRMSUPP.DLL");
}

std::string Stored()
{
    return test::StoredValue(HKEY_CURRENT_USER, test::kProductKey, "Language");
}

struct ModuleTest : ::testing::Test {
    void SetUp() override { test::CleanMachine(); }
    void TearDown() override { test::CleanMachine(); }
};

} // namespace

TEST_F(ModuleTest, StartupRecordsUnderTheWaitCursorRestoresTheHandleAndShutdownFreesOnce)
{
    test::Deployment d("startup");
    for (const char* code : {"nl", "uk", "us"})
        d.AddLanguage(code);
    d.AddFolder("de");
    test::SetLanguage(kNl);
    EXPECT_EQ(d.Run("state startup 4711 probe state"), State(kHost, "none") +
              "startup 1 wait-at-read=1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    const std::string log = test::ReadFileText(test::OnlyLog());
    EXPECT_EQ(log.rfind("[System]\r\n", 0), 0u) << log;
    EXPECT_NE(log.find("[4711-1-9]\r\n1=1\r\n"), std::string::npos) << log;
    EXPECT_EQ(Stored(), kNl);   // the value chose: no scan found "de"

    // A second start-up replaces a module loaded meanwhile and counts again.
    EXPECT_EQ(d.Run("startup 4711 load uk startup 4711 state"),
              "startup 1\nload uk\\BRMSUPP.dll\nstartup 1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "4711-1-9", "1"), "3");
    // Without an application object there is no wait cursor count, the rest works.
    EXPECT_EQ(d.Run("noapp startup 3 state"), "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL", -1));

    // Shutdown frees only with a window and never twice, and never leaves the freed module
    // as the resource handle; the version date holds throughout.
    const std::string version = "version 5 2015\n";
    EXPECT_EQ(d.Run("version startup 1 shutdown nowindow state shutdown state shutdown version"),
              version + "startup 1\n" + kShutdown + State(kHost, "nl\\BRMSUPP.DLL") + kShutdown +
                  State(kHost, "none") + kShutdown + version);
    EXPECT_EQ(d.Run("startup 1 nowindow shutdown state"), "startup 1\n" + kShutdown + State(kHost, "none"));

    // No loadable module: 0, no record, no message box (the host would not finish).
    test::Deployment empty("no-modules");
    empty.AddFolder("nl");
    test::RemoveTree(test::kLogFolder);
    test::FreshFolder(test::kLogFolder);
    EXPECT_EQ(empty.Run("startup 5 nowindow state startup 5 state"),
              "startup 0\n" + State(kHost, "none") + "startup 0\n" + State(kHost, "none"));
    EXPECT_TRUE(test::ListFiles(test::kLogFolder).empty());
}

TEST_F(ModuleTest, LanguageComesFromTheValueOrAScanBesideTheHostOrFallsBackToUk)
{
    test::Deployment a("choice");
    a.AddFile("aa");   // a file, not a folder
    a.AddFolder("bin");
    a.AddLanguage("nl");
    a.AddLanguage("uk");
    test::Deployment b("choice-de");
    b.AddFolder("de");
    b.AddLanguage("uk");
    const std::string fifteen("abcdefghijklmno\0", 16), none = "<none>";
    const struct {
        const test::Deployment& at;
        std::string bytes;   // "<none>": no value
        DWORD type;
        std::string loaded, storedAfter;
    } rows[] = {
        {a, none, REG_SZ, "nl", kNl},   // scan: the first two-letter folder, stored
        {b, none, REG_SZ, "uk", std::string("de\0", 3)},   // found folder without a module
        {a, std::string(1, '\0'), REG_SZ, "uk", std::string(1, '\0')},   // empty: kept
        {a, "nl", REG_BINARY, "nl", "nl<type 3>"},   // no terminator, wrong type: still a code
        {a, fifteen, REG_SZ, "uk", fifteen},   // the longest code; no such folder
        // Sixteen bytes unterminated, or longer than the room: unreadable, so the scan runs.
        {a, "abcdefghijklmnop", REG_BINARY, "nl", kNl},
        {a, std::string(300, 'z') + '\0', REG_SZ, "nl", kNl},
    };
    for (const auto& row : rows) {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        if (row.bytes != none)
            test::SetLanguage(row.bytes, row.type);
        EXPECT_EQ(row.at.Run("startup 1 nowindow state"), StartedWith(row.loaded)) << row.bytes;
        EXPECT_EQ(Stored(), row.storedAfter) << row.bytes;
    }

    // The scan looks beside the host, the modules beside the support module: a host alone
    // finds no code and loads "uk" from the module's folder; the key is made all the same.
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::Deployment host("host-alone");
    host.AddFolder("abc");
    EXPECT_EQ(host.Run("from " + a.Folder() + " startup 1 nowindow state"), StartedWith(a.Folder() + "\\uk"));
    EXPECT_EQ(Stored(), none);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, test::kProductKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);

    // A product key that cannot be made (its parent is volatile) means "uk", without a scan.
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", nullptr);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(a.Run("startup 1 nowindow state"), StartedWith("uk"));
    EXPECT_EQ(Stored(), none);
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", nullptr);
}

TEST_F(ModuleTest, LoadLanguageModuleSwitchesAndFailsWithinItsRoom)
{
    test::Deployment d("switch");
    for (const char* code : {"uk", "us", "nl"})
        d.AddLanguage(code);
    test::SetLanguage(kNl);
    // With a window the host's resource handle stays its own throughout. A switch loads the
    // support module's own file name in the folder.
    EXPECT_EQ(d.Run("startup 1 state load us state load xx state"),
              "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL") + "load us\\BRMSUPP.dll\n" +
                  State(kHost, "us\\BRMSUPP.dll") + "load none\n" + State(kHost, "none"));
    // Without a window the language module is the resource handle; a switch must never
    // leave it naming the freed module.
    EXPECT_EQ(d.Run("startup 1 nowindow load us state load xx state load uk state"),
              "startup 1\nload us\\BRMSUPP.dll\n" + State("us\\BRMSUPP.dll", "us\\BRMSUPP.dll") +
                  "load none\n" + State(kHost, "none") + "load uk\\BRMSUPP.dll\n" +
                  State(kHost, "uk\\BRMSUPP.dll"));
    EXPECT_EQ(Stored(), kNl);   // a switch does not touch the registry

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
