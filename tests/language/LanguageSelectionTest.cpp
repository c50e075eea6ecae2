#include "tests/support/Deployment.h"
#include "tests/support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using test::Deployment;

namespace {

using Lines = std::vector<std::string>;

class LanguageSelectionTest : public ::testing::Test {
protected:
    void SetUp() override { test::DeleteProductKey(); }
    void TearDown() override { test::DeleteProductKey(); }

    static std::string StoredValue()
    {
        std::string bytes;
        unsigned long type = 0;
        if (!test::ReadLanguageValue(bytes, type))
            return "<none>";
        return bytes + (type == REG_SZ ? "" : "<type " + std::to_string(type) + ">");
    }
};

const std::string kStartupState = "startup 77 nowindow state";

} // namespace

TEST_F(LanguageSelectionTest, RegistryValueChoosesTheModuleWithoutAScan)
{
    Deployment deployment("registry-value");
    for (const char* code : {"uk", "us", "nl"})
        deployment.AddLanguage(code);
    deployment.AddFolder("de");
    test::SetLanguageValue(std::string("nl\0", 3), REG_SZ);
    EXPECT_EQ(deployment.Run(kStartupState),
              (Lines{"startup 1", "state resource=nl\\BRMSUPP.DLL wait=0 loaded=nl\\BRMSUPP.DLL"}));
    EXPECT_EQ(StoredValue(), std::string("nl\0", 3));
}

TEST_F(LanguageSelectionTest, ScanTakesTheFirstTwoLetterFolderAndStoresIt)
{
    Deployment deployment("scan-us");
    deployment.AddFolder("bin");
    deployment.AddFile("uk");           // a file, not a folder
    deployment.AddLanguage("us");
    EXPECT_EQ(deployment.Run(kStartupState),
              (Lines{"startup 1", "state resource=us\\BRMSUPP.DLL wait=0 loaded=us\\BRMSUPP.DLL"}));
    EXPECT_EQ(StoredValue(), std::string("us\0", 3));
}

TEST_F(LanguageSelectionTest, ScannedFolderWithoutModuleFallsBackToUkAndStaysStored)
{
    Deployment deployment("scan-de");
    deployment.AddFolder("de");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run(kStartupState),
              (Lines{"startup 1", "state resource=uk\\BRMSUPP.DLL wait=0 loaded=uk\\BRMSUPP.DLL"}));
    EXPECT_EQ(StoredValue(), std::string("de\0", 3));
}

TEST_F(LanguageSelectionTest, NoTwoLetterFolderBesideTheHostMeansUkAndNoValue)
{
    // The host runs from a folder of its own; the module and its languages
    // lie elsewhere, so the scan finds nothing.
    Deployment host("host-alone");
    host.AddFolder("bin");
    host.AddFolder("abc");
    Deployment module("module-elsewhere");
    module.AddLanguage("uk");
    EXPECT_EQ(host.Run("from " + module.Folder() + " " + kStartupState),
              (Lines{"startup 1", "state resource=" + module.Folder() +
                                      "\\uk\\BRMSUPP.DLL wait=0 loaded=" + module.Folder() +
                                      "\\uk\\BRMSUPP.DLL"}));
    EXPECT_EQ(StoredValue(), "<none>");
    // The key itself was created by the start-up.
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VORANDA\\BRAMOK\\11.3", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(LanguageSelectionTest, OddValuesAreNeverReadPastTheirRoom)
{
    Deployment deployment("odd-values");
    deployment.AddLanguage("uk");
    deployment.AddLanguage("nl");
    const struct {
        std::string bytes;
        unsigned long type;
        const char* loaded;
        std::string storedAfter;
    } rows[] = {
        // Empty: "uk", the empty value stays.
        {std::string("\0", 1), REG_SZ, "uk", std::string("\0", 1)},
        // Binary without terminator: the bytes as a code.
        {"nl", REG_BINARY, "nl", "nl<type 3>"},
        // Fifteen characters: a code whose folder does not exist.
        {std::string("abcdefghijklmno\0", 16), REG_SZ, "uk", std::string("abcdefghijklmno\0", 16)},
        // Sixteen bytes with no terminator: unreadable, so the scan runs
        // and stores the first folder it finds.
        {"abcdefghijklmnop", REG_BINARY, "nl", std::string("nl\0", 3)},
        // Longer than the room: unreadable as well.
        {std::string(300, 'z') + std::string("\0", 1), REG_SZ, "nl", std::string("nl\0", 3)},
    };
    for (const auto& row : rows) {
        test::SetLanguageValue(row.bytes, row.type);
        const Lines lines = deployment.Run(kStartupState);
        ASSERT_EQ(lines.size(), 2u) << row.bytes;
        EXPECT_EQ(lines[1], std::string("state resource=") + row.loaded + "\\BRMSUPP.DLL wait=0 loaded=" +
                                row.loaded + "\\BRMSUPP.DLL")
            << row.bytes;
        EXPECT_EQ(StoredValue(), row.storedAfter) << row.bytes;
    }
}

TEST_F(LanguageSelectionTest, LoadLanguageModuleSwitchesAndFails)
{
    Deployment deployment("switch");
    for (const char* code : {"uk", "us", "nl"})
        deployment.AddLanguage(code);
    test::SetLanguageValue(std::string("nl\0", 3), REG_SZ);
    // With a window the host's resource handle stays its own throughout.
    EXPECT_EQ(deployment.Run("startup 1 state load us state load xx state"),
              (Lines{"startup 1", "state resource=BramokHost.exe wait=0 loaded=nl\\BRMSUPP.DLL",
                     "load us\\BRMSUPP.dll",
                     "state resource=BramokHost.exe wait=0 loaded=us\\BRMSUPP.dll", "load none",
                     "state resource=BramokHost.exe wait=0 loaded=none"}));
    // Without a window the language module is the resource handle; a switch
    // must never leave it naming the freed module.
    EXPECT_EQ(deployment.Run("startup 1 nowindow load us state load xx state load uk state"),
              (Lines{"startup 1", "load us\\BRMSUPP.dll",
                     "state resource=us\\BRMSUPP.dll wait=0 loaded=us\\BRMSUPP.dll", "load none",
                     "state resource=BramokHost.exe wait=0 loaded=none", "load uk\\BRMSUPP.dll",
                     "state resource=BramokHost.exe wait=0 loaded=uk\\BRMSUPP.dll"}));
    // A switch loads the support module's own file name in the folder.
    // The registry is not touched by a switch.
    EXPECT_EQ(StoredValue(), std::string("nl\0", 3));
}

TEST_F(LanguageSelectionTest, LongPathsNeverOverflow)
{
    // A folder deep enough that the host fits but a code of 15 characters
    // does not: the code's module path is refused and "uk" still loads.
    const std::string parent(100, 'p');
    Deployment nested(parent + "\\" + std::string(120, 'q'));
    nested.AddLanguage("uk");
    test::SetLanguageValue(std::string("abcdefghijklmno\0", 16), REG_SZ);
    EXPECT_EQ(nested.Run("startup 1 nowindow state load abcdefghijklmno state"),
              (Lines{"startup 1", "state resource=uk\\BRMSUPP.DLL wait=0 loaded=uk\\BRMSUPP.DLL",
                     "load none", "state resource=BramokHost.exe wait=0 loaded=none"}));
    test::RemoveTree("C:\\brmtest\\" + parent);
}
