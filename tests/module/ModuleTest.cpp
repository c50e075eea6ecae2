#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using test::State;

namespace {

const std::string kHost = "TestHost.exe", kShutdown = "shutdown\n";

struct ModuleTest : ::testing::Test {
    void SetUp() override { test::CleanMachine(); }
};

} // namespace

TEST_F(ModuleTest, StartupRecordsUnderTheWaitCursor)
{
    // No loadable module: 0, no record, no message box (the host would not finish).
    test::Deployment empty("no-modules");
    empty.AddFolder("nl");
    EXPECT_EQ(empty.Run("startup 5 nowindow state"), "startup 0\n" + State(kHost, "none"));
    EXPECT_TRUE(test::ListFiles(test::kLogFolder).empty());

    test::Deployment d("startup");
    for (const char* code : {"nl", "uk", "us"}) d.AddLanguage(code);
    test::SetLanguage(std::string("nl\0", 3));
    // A second start-up replaces a module loaded meanwhile.
    EXPECT_EQ(d.Run("state watch startup 4711 load uk startup 4711 state"),
              State(kHost, "none") + "profile wait=1\nstartup 1\nload uk\\BRMSUPP.dll\n"
              "profile wait=1\nstartup 1\n" + State(kHost, "nl\\BRMSUPP.DLL"));
    // Begun inside the host's own wait cursor, start-up leaves the host's cursor to come back.
    EXPECT_EQ(d.Run("wait startup 1 endwait"), "startup 1\ncursor restored\n");
    // Without an application object there is no wait cursor count, the rest works.
    EXPECT_EQ(d.Run("noapp startup 3 state"), "startup 1\n" + State(kHost, "nl\\BRMSUPP.DLL", -1));
}

TEST_F(ModuleTest, LanguageComesFromTheValueOrAScanBesideTheHostOrFallsBackToUk)
{
    // The modules lie beside the support module, the scan looks beside the host.
    test::Deployment a("choice");
    for (const char* code : {"nl", "uk", "us"}) a.AddLanguage(code);
    test::Deployment host("host-alone");
    host.AddFile("aa");   // a file, not a folder
    host.AddFolder("bin");
    host.AddFolder("us");
    const std::string none = "<none>", us = std::string("us\0", 3), unmakeable = "<volatile>";
    const struct {
        std::string bytes;   // "<none>": no value
        DWORD type;
        std::string loaded, storedAfter;
    } rows[] = {
        {none, REG_SZ, "us", us},   // scan: the first two-letter folder, stored
        {std::string(1, '\0'), REG_SZ, "uk", std::string(1, '\0')},   // empty: kept
        {"nl", REG_BINARY, "nl", "nl<type 3>"},   // no terminator, wrong type: still a code
        {"abcdefghijklmnop", REG_BINARY, "us", us},   // too long for a code: scan
        {std::string("de\0", 3), REG_SZ, "uk", std::string("de\0", 3)},   // no module for it
        {unmakeable, REG_SZ, "uk", none},   // a product key that cannot be made: no scan
    };
    const char* const parent = "Software\\VORANDA\\BRAMOK";
    for (const auto& row : rows) {
        test::DeleteValue(HKEY_CURRENT_USER, test::kProductKey, nullptr);
        HKEY key = nullptr;
        if (row.bytes == unmakeable) {   // a volatile key cannot hold a lasting one
            test::DeleteValue(HKEY_CURRENT_USER, parent, nullptr);
            RegCreateKeyExA(HKEY_CURRENT_USER, parent, 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr);
            RegCloseKey(key);
        } else if (row.bytes != none) {
            test::SetLanguage(row.bytes, row.type);
        }
        // Start-up without a window leaves the language module as the resource handle.
        const std::string module = a.Folder() + "\\" + row.loaded + "\\BRMSUPP.DLL";
        EXPECT_EQ(host.Run("from " + a.Folder() + " startup 1 nowindow state"),
                  "startup 1\n" + State(module, module)) << row.bytes;
        EXPECT_EQ(test::StoredLanguage(), row.storedAfter) << row.bytes;
    }
    test::DeleteValue(HKEY_CURRENT_USER, parent, nullptr);
}

// In any order of start-ups with and without a window and switches, the resource handle never
// names a freed module, also not after a shutdown (which frees only with a window, once); the
// host's own dialogs are found whichever module the handle names.
TEST_F(ModuleTest, ResourceHandleNeverNamesAFreedModule)
{
    test::Deployment d("resource-handle");
    for (const char* code : {"uk", "us", "nl"}) d.AddLanguage(code);
    test::SetLanguage(std::string("uk\0", 3));
    // With a window the host's handle stays its own through a switch; a failed one gives it back.
    EXPECT_EQ(d.Run("startup 1 load us state startup 1 nowindow load xx state"),
              "startup 1\nload us\\BRMSUPP.dll\n" + State(kHost, "us\\BRMSUPP.dll") +
                  "startup 1\nload none\n" + State(kHost, "none"));
    const std::string uk = "uk\\BRMSUPP.DLL", nl = "nl\\BRMSUPP.dll";
    const std::string tail = "state about ok load nl state about ok shutdown nowindow state "
                             "about ok shutdown shutdown state about ok", about = "about 1\n";
    for (const char* commands : {"startup 1 nowindow load us startup 1 ", "startup 1 load us startup 1 nowindow "}) {
        const std::string out = d.Run(commands + tail);
        EXPECT_EQ(out.substr(out.find("state")), State(uk, uk) + about + "load " + nl + "\n" +
                  State(nl, nl) + about + kShutdown + State(nl, nl) + about + kShutdown +
                  kShutdown + State(kHost, "none") + about) << commands;
    }
}
