#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

using test::State;

namespace {

const std::string kHost = "TestHost.exe";

// The language value's bytes as stored, "<type N>" appended unless REG_SZ; "<none>" when missing.
std::string StoredLanguage()
{
    char data[1024];
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, test::kProductKey, "Language", RRF_RT_ANY | RRF_NOEXPAND,
                     &type, data, &size) != ERROR_SUCCESS)
        return "<none>";
    return std::string(data, size) + (type == REG_SZ ? "" : "<type " + std::to_string(type) + ">");
}

struct ModuleTest : ::testing::Test {
    void SetUp() override
    {
        test::CleanMachine();
    }
    const test::Deployment m_modules{"modules", {"uk", "us", "nl"}};
};

} // namespace

TEST_F(ModuleTest, LanguageComesFromTheValueOrAScanBesideTheHostOrFallsBackToUk)
{
    // The modules lie beside the support module, the scan looks beside the host.
    test::Deployment host("host-alone");
    test::WriteFileText(host.folder + "\\aa", "a file, not a folder");
    host.AddFolder("bin");
    host.AddFolder("us");
    // Hidden and system folders count like any other.
    const std::string hidden = host.folder + "\\us";
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_EQ(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    // Its own support module, with no language module: 0, no record or box, the wait cursor kept.
    EXPECT_EQ(host.Run("wait startup 5 nowindow state endwait"),
              "startup 0\n" + State(kHost, "none", 1) + "cursor restored\n");
    EXPECT_TRUE(std::filesystem::is_empty(test::kLogFolder));
    const std::string none = "<none>", us = std::string("us\0", 3),
                      fifteen = std::string("abcdefghijklmno\0", 16);
    const struct {
        std::string bytes;   // "<none>": no value
        DWORD type;
        std::string loaded, storedAfter;
    } rows[] = {
        {none, REG_SZ, "us", us},   // scan: the first two-letter folder, stored
        {std::string(1, '\0'), REG_SZ, "uk", std::string(1, '\0')},   // empty: kept
        {"nl", REG_BINARY, "nl", "nl<type 3>"},   // no terminator, wrong type: still a code
        {"abcdefghijklmnop", REG_BINARY, "us", us},   // too long for a code: scan
        {fifteen, REG_SZ, "uk", fifteen},   // the longest code, with its end: no module for it
        {std::string("de\0", 3), REG_SZ, "uk", std::string("de\0", 3)},   // no module for it
    };
    for (const auto& row : rows) {
        RegDeleteKeyA(HKEY_CURRENT_USER, test::kProductKey);
        if (row.bytes != none)
            test::SetLanguage(row.bytes, row.type);
        const std::string module = m_modules.folder + "\\" + row.loaded + "\\BRMSUPP.DLL";
        EXPECT_EQ(host.Run("from " + m_modules.folder + " startup 1 nowindow state"),
                  "startup 1\n" + State(module, module))
            << row.bytes;
        EXPECT_EQ(StoredLanguage(), row.storedAfter) << row.bytes;
    }
}

// Start-up replaces a module loaded meanwhile. In any order of start-ups with and without a window
// and switches, the resource handle never names a freed module, also not after a shutdown (which
// frees only with a window, once); the host's own dialogs are found whichever module it names.
TEST_F(ModuleTest, StartupsSwitchesAndShutdownsInAnyOrder)
{
    test::SetLanguage(std::string("nl\0", 3));
    const std::string nl = "nl\\BRMSUPP.DLL", uk = "uk\\BRMSUPP.dll", us = "us\\BRMSUPP.dll";
    const std::string again = "startup 1\nload " + us + "\nstartup 1\n" + State(nl, nl) +
                              "about 1\nload " + uk + "\n" + State(uk, uk) + "about 1\nshutdown\n" +
                              State(uk, uk) + "about 1\nshutdown\nshutdown\n" +
                              State(kHost, "none") + "about 1\n";
    const std::string tail = " state about ok load uk state about ok shutdown nowindow state "
                             "about ok shutdown shutdown state about ok";
    const std::string rows[][2] = {
        {"state startup 4711 load uk startup 4711 state",
         State(kHost, "none") + "startup 1\nload " + uk + "\nstartup 1\n" + State(kHost, nl)},
        // Begun inside the host's own wait cursor, start-up leaves the host's cursor to come back.
        {"wait startup 1 endwait", "startup 1\ncursor restored\n"},
        // With a window the host's handle stays its own; a failed switch gives it back.
        {"startup 1 load us state startup 1 nowindow load xx state",
         "startup 1\nload " + us + "\n" + State(kHost, us) + "startup 1\nload none\n" +
             State(kHost, "none")},
        {"startup 1 nowindow load us startup 1" + tail, again},
        {"startup 1 load us startup 1 nowindow" + tail, again},
    };
    for (const auto& row : rows)
        EXPECT_EQ(m_modules.Run(row[0]), row[1]) << row[0];
}
