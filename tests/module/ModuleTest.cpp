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

TEST_F(ModuleTest, StartupRecordsUnderTheWaitCursorAndShutdownFreesOnce)
{
    test::Deployment d("startup");
    for (const char* code : {"nl", "uk", "us"})
        d.AddLanguage(code);
    d.AddFolder("de");
    test::SetLanguage(kNl);
    EXPECT_EQ(d.Run("state startup 4711 probe state"), State(kHost, "none") +
              "startup 1 wait-while-recording=1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "4711-1-9", "1"), "1");
    EXPECT_EQ(Stored(), kNl);   // the value chose: no scan found "de"

    // A second start-up replaces a module loaded meanwhile and counts again.
    EXPECT_EQ(d.Run("startup 4711 load uk startup 4711 state"),
              "startup 1\nload uk\\BRMSUPP.dll\nstartup 1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    EXPECT_EQ(test::ProfileString(test::OnlyLog(), "4711-1-9", "1"), "3");
    // Without an application object there is no wait cursor count, the rest works.
    EXPECT_EQ(d.Run("noapp startup 3 state"), "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL", -1));

    // Shutdown frees only with a window and never twice; the version date holds after it.
    EXPECT_EQ(d.Run("startup 1 shutdown nowindow state shutdown state shutdown version"),
              "startup 1\n" + kShutdown + State(kHost, "nl\\BRMSUPP.DLL") + kShutdown +
                  State(kHost, "none") + kShutdown + "version 5 2015\n");

    // No loadable module: 0, no record, no message box (the host would not finish).
    test::Deployment empty("no-modules");
    empty.AddFolder("nl");
    test::RemoveTree(test::kLogFolder);
    test::FreshFolder(test::kLogFolder);
    EXPECT_EQ(empty.Run("startup 5 nowindow state"), "startup 0\n" + State(kHost, "none"));
    EXPECT_TRUE(test::ListFiles(test::kLogFolder).empty());
}

TEST_F(ModuleTest, LanguageComesFromTheValueOrAScanBesideTheHostOrFallsBackToUk)
{
    test::Deployment a("choice");
    a.AddFile("aa");   // a file, not a folder
    a.AddFolder("bin");
    a.AddLanguage("nl");
    a.AddLanguage("uk");
    const std::string none = "<none>";
    const struct {
        std::string bytes;   // "<none>": no value
        DWORD type;
        std::string loaded, storedAfter;
    } rows[] = {
        {none, REG_SZ, "nl", kNl},   // scan: the first two-letter folder, stored
        {std::string(1, '\0'), REG_SZ, "uk", std::string(1, '\0')},   // empty: kept
        {"nl", REG_BINARY, "nl", "nl<type 3>"},   // no terminator, wrong type: still a code
        {"abcdefghijklmnop", REG_BINARY, "nl", kNl},   // too long for a code: scan
    };
    for (const auto& row : rows) {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        if (row.bytes != none)
            test::SetLanguage(row.bytes, row.type);
        EXPECT_EQ(a.Run("startup 1 nowindow state"), StartedWith(row.loaded)) << row.bytes;
        EXPECT_EQ(Stored(), row.storedAfter) << row.bytes;
    }

    // The scan looks beside the host, the modules beside the support module; a code without
    // its module there loads "uk".
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::Deployment host("host-alone");
    host.AddFolder("de");
    EXPECT_EQ(host.Run("from " + a.Folder() + " startup 1 nowindow state"),
              StartedWith(a.Folder() + "\\uk"));
    EXPECT_EQ(Stored(), std::string("de\0", 3));

    // A product key that cannot be made (its parent is volatile) means "uk", without a scan.
    test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(a.Run("startup 1 nowindow state"), StartedWith("uk"));
    EXPECT_EQ(Stored(), none);
    test::DeleteValue(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK", nullptr);
}

// Whatever order start-up without a window, a switch and start-up with a window come in, the
// resource handle never names a freed module, also not after a later switch or shutdown.
TEST_F(ModuleTest, ResourceHandleNeverNamesAFreedModule)
{
    test::Deployment d("resource-handle");
    for (const char* code : {"uk", "us", "nl"})
        d.AddLanguage(code);
    test::SetLanguage(std::string("uk\0", 3));
    // With a window the host's handle stays its own through switches; a failed switch gives
    // the host's own back.
    EXPECT_EQ(d.Run("startup 1 load us state load xx state startup 1 nowindow load xx state"),
              "startup 1\nload us\\BRMSUPP.dll\n" + State(kHost, "us\\BRMSUPP.dll") +
                  "load none\n" + State(kHost, "none") + "startup 1\nload none\n" +
                  State(kHost, "none"));
    const std::string bare = "startup 1 nowindow ", windowed = "startup 1 ", load = "load us ";
    const std::string uk = "uk\\BRMSUPP.DLL", us = "us\\BRMSUPP.dll", nl = "nl\\BRMSUPP.dll";
    const struct {
        std::string commands;
        std::string current;   // the resource handle, and the one module loaded
    } rows[] = {
        {bare + load + windowed, uk}, {bare + windowed + load, us}, {windowed + load + bare, uk},
    };
    for (const auto& row : rows) {
        const std::string out = d.Run(row.commands + "state load nl state shutdown state");
        EXPECT_EQ(out.substr(out.find("state")), State(row.current, row.current) + "load " + nl +
                  "\n" + State(nl, nl) + kShutdown + State(kHost, "none"))
            << row.commands;
    }
}
