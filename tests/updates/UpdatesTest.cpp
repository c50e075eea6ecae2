#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

using test::kSettings;
const std::string kServiceFolder = "C:\\ProgramData\\VORANDA";
const std::string kUk = "[BRAMOK 11.3 (English UK)]\r\n", kUs = "[BRAMOK 11.3 (English US)]\r\n",
                  kNl = "[BRAMOK 11.3 (Nederlands)]\r\n", kUkMode2 = kUk + "UpdateMode=2\r\n";
const char* const kUpload[] = {"&Send anonymised information about how BRAMOK is used",
                               "&Send anonymized information about how BRAMOK is used",
                               "Anonieme gegevens over het gebruik van BRAMOK &verzenden"};
enum Folder { kSettingsThere, kNoServiceFolder, kUnwritable };

// The dialog as the keys command shows it: modal, the modes' and upload's ticks, the upload's text.
std::string Shown(int language, const std::string& checks)
{
    return "shown modal\nchecks " + checks + " " + kUpload[language] + "\n";
}

} // namespace

// Only OK or Enter saves, into the edition's section; Cancel and Esc keep only the check-now flag;
// a failed save is said; Check Now says what the service did; the arrows move the mode.
TEST(UpdatesTest, WhatTheUserReadsChoosesAndSaves)
{
    test::CleanMachine();
    const test::Deployment host("updates-dialog", {"uk", "us", "nl"});
    const std::string us5 = kUs + "UpdateMode=5\r\n", general = "[General]\r\nBramokUpload=",
                      saved5 = us5 + "Check=false\r\n" + general + "true\r\n",
                      other = kUs + "UpdateMode=1\r\n", tab = "tab 1335 1334 1 2 57670 ",
                      help = "help context 0x2006d command 1 resource=us\\BRMSUPP.DLL\n",
                      ok = "updates 1 resource=TestHost.exe\n",
                      cancel = "updates 2 resource=TestHost.exe\n", check = "130 check=true\n",
                      sent = "status Your request was sent. The update service is checking for "
                             "updates now.\n",
                      failed = "status The update service couldn't be reached. Please make sure "
                               "VORANDA Update is installed and running.\n",
                      failedUk = "status The update service could not be reached. Please make "
                                 "sure VORANDA Update is installed and running.\n",
                      failedNl = "status De updateservice is niet bereikbaar. Controleer of "
                                 "VORANDA Update is ge\xEFnstalleerd en actief is.\n",
                      unsaved = "beep 48\nbox Software Updates: Your settings could not be saved. "
                                "Please make sure VORANDA Update is installed and that you may "
                                "change its settings.\n";
    const struct {
        int language;   // of kTexts: uk, us, nl
        std::string serve;   // the stand-in update service: none, stopped, running, slow
        Folder folder;
        std::string before;
        std::string checks;   // the three modes and the upload as shown
        std::string keys, output, after, record, command = "updates";
    } rows[] = {
        // An unknown mode shows as the first, the upload as off.
        {1, "none", kSettingsThere, us5 + general + "false\r\n", "1000", "1334 57670 1", help + ok,
         us5 + "Check=false\r\n" + general + "false\r\n", ""},
        // A second Check Now clears the first one's status; the host's wait cursor kept.
        {1, "stopped", kSettingsThere, us5, "1001", "1334 unserve 1334 1", failed + ok +
         test::State("TestHost.exe", "us\\BRMSUPP.DLL", 1) + "cursor restored\n", saved5, "",
         "wait updates state endwait"},
        {1, "running", kSettingsThere, us5, "1001", "1334 1", sent + ok, saved5, check},
        {1, "slow", kSettingsThere, us5, "1001", "1334 1", sent + ok, saved5, check},
        {0, "stopped", kSettingsThere, kUkMode2, "0101", "1330 1335 1334 2", failedUk + cancel,
         kUkMode2 + "Check=true\r\n", ""},
        // No settings file yet, its folder there: the flag makes one.
        {0, "none", kSettingsThere, "", "1001", "1334 2", cancel, kUk + "Check=true\r\n", ""},
        {0, "none", kNoServiceFolder, "", "1001", "1", ok, "", ""},
        {0, "none", kUnwritable, "", "1001", "1", unsaved + ok, "", ""},
        {0, "none", kSettingsThere, kUkMode2 + other, "0101", "@1331 tab down enter",
         tab + "1331\ndown 1332\nenter default\n" + ok,
         kUk + "UpdateMode=3\r\nCheck=false\r\n" + other + general + "true\r\n", ""},
        {1, "none", kSettingsThere, kUs + "UpdateMode=3\r\n", "0011", "@1332 tab up enter",
         tab + "1332\nup 1331\nenter default\n" + ok,
         kUs + "UpdateMode=2\r\nCheck=false\r\n" + general + "true\r\n", ""},
        {2, "stopped", kSettingsThere, kNl + "UpdateMode=2\r\n" + kUkMode2, "0101",
         "1334 @1331 tab @1335 space @1331 up enter",
         failedNl + tab + "1331\nspace 1335 clear\nup 1330\nenter default\n" + ok,
         kNl + "UpdateMode=1\r\nCheck=false\r\n" + kUkMode2 + general + "false\r\n", ""},
        {0, "none", kSettingsThere, kUk + "UpdateMode=1\r\n", "1001",
         "@1330 tab @1335 space @1330 down down esc",
         tab + "1330\nspace 1335 clear\ndown 1331\ndown 1332\nesc default\n" + cancel,
         kUk + "UpdateMode=1\r\n", "", "updates noparent"},   // owned by the main window
    };
    for (const auto& row : rows) {
        const std::string name = std::to_string(&row - rows) + " " + row.keys;
        test::RemoveTree(kServiceFolder);
        if (row.folder != kNoServiceFolder)
            test::FreshFolder(row.folder == kUnwritable ? kSettings : test::kSettingsFolder);
        ASSERT_TRUE(row.before.empty() || test::WriteFileText(kSettings, row.before));
        // The US code is stored without its end, as another type.
        test::SetLanguage(row.language == 1 ? "us" : std::string(row.language ? "nl\0" : "uk\0", 3),
                          row.language == 1 ? REG_BINARY : REG_SZ);
        EXPECT_EQ(host.Run("serve " + row.serve + " startup 1 watch keys " + row.keys + " . " +
                           row.command),
                  "startup 1\n" + Shown(row.language, row.checks) + row.output)
            << name;
        EXPECT_EQ(test::ReadFileText(kSettings), row.after) << name;
        EXPECT_EQ(test::ReadFileText(test::kServiceRecord), row.record) << name;
        const bool folder = GetFileAttributesA(kServiceFolder.c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(folder, row.folder != kNoServiceFolder) << name;
    }
}
