#include "updates/CheckNow.h"
#include "updates/UpdateSettings.h"

#include "tests/support/Deployment.h"
#include "tests/support/TestService.h"
#include "tests/support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFolder = "C:\\ProgramData\\VORANDA\\UpdateService";
const std::string kFile = kFolder + "\\Settings.ini";
const wchar_t* const kUk = L"BRAMOK 11.3 (English UK)";

std::wstring Path()
{
    wchar_t path[kSettingsTextSize];
    SettingsFilePath(path);
    return path;
}

class UpdateSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RemoveTree(kFolder);
        CreateDirectoryA("C:\\ProgramData\\VORANDA", nullptr);
        CreateDirectoryA(kFolder.c_str(), nullptr);
        test::DeleteProductKey();
    }
    void TearDown() override
    {
        test::RemoveTree("C:\\ProgramData\\VORANDA");
        test::DeleteProductKey();
    }
};

} // namespace

TEST_F(UpdateSettingsTest, NoFileGivesDefaultsAndSaveCreatesIt)
{
    EXPECT_EQ(Path(), L"C:\\ProgramData\\VORANDA\\UpdateService\\Settings.ini");
    UpdateSettings settings;
    LoadUpdateSettings(Path().c_str(), kUk, settings);
    EXPECT_EQ(settings.updateMode, 1);
    EXPECT_TRUE(settings.productUpload);
    EXPECT_TRUE(SaveUpdateSettings(Path().c_str(), kUk, settings));
    // A new file is plain ANSI text, the entries in the order written.
    EXPECT_EQ(test::ReadFileText(kFile),
              "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=1\r\nCheck=false\r\n"
              "[General]\r\nBramokUpload=true\r\n");
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English UK)", "UpdateMode"), "1");
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English UK)", "Check"), "false");
    EXPECT_EQ(test::ProfileString(kFile, "General", "BramokUpload"), "true");
}

TEST_F(UpdateSettingsTest, LoadAndSaveKeepEverythingElseInTheFile)
{
    const std::string original =
        "; kept by the service\r\n[Service]\r\nServer=updates.example\r\n"
        "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=7\r\nLastRun=2015-05-01\r\n"
        "[General]\r\nBramokUpload=FaLsE\r\nProxy=none\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    UpdateSettings settings;
    LoadUpdateSettings(Path().c_str(), kUk, settings);
    EXPECT_EQ(settings.updateMode, 7);
    EXPECT_FALSE(settings.productUpload);
    EXPECT_TRUE(SaveUpdateSettings(Path().c_str(), kUk, settings));
    EXPECT_EQ(test::ReadFileText(kFile),
              "; kept by the service\r\n[Service]\r\nServer=updates.example\r\n"
              "[BRAMOK 11.3 (English UK)]\r\nUpdateMode=7\r\nLastRun=2015-05-01\r\nCheck=false\r\n"
              "[General]\r\nBramokUpload=false\r\nProxy=none\r\n");

    // A UTF-16 file stays UTF-16.
    const std::string utf16("\xFF\xFE[\0G\0e\0n\0e\0r\0a\0l\0]\0\r\0\n\0", 24);
    ASSERT_TRUE(test::WriteFileText(kFile, utf16));
    settings.productUpload = true;
    EXPECT_TRUE(SaveUpdateSettings(Path().c_str(), kUk, settings));
    const std::string after = test::ReadFileText(kFile);
    EXPECT_EQ(after.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(test::ProfileString(kFile, "General", "BramokUpload"), "true");
}

TEST_F(UpdateSettingsTest, EditionSectionFollowsTheLanguageValue)
{
    const struct {
        const char* value;
        const wchar_t* section;
    } rows[] = {
        {"US", L"BRAMOK 11.3 (English US)"},
        {"nl", L"BRAMOK 11.3 (Nederlands)"},
        {"uk", L"BRAMOK 11.3 (English UK)"},
        {"de", L"BRAMOK 11.3 (English UK)"},
        {"", L"BRAMOK 11.3 (English UK)"},
        {"nlnlnlnlnlnlnlnl", L"BRAMOK 11.3 (English UK)"},   // longer than the room
    };
    for (const auto& row : rows) {
        test::SetLanguageValue(std::string(row.value) + '\0', REG_SZ);
        wchar_t section[kSettingsTextSize];
        EditionSectionName(section);
        EXPECT_STREQ(section, row.section) << row.value;
    }
    test::SetLanguageValue("nl", REG_BINARY);   // no terminator
    wchar_t section[kSettingsTextSize];
    EditionSectionName(section);
    EXPECT_STREQ(section, L"BRAMOK 11.3 (Nederlands)");
    test::DeleteProductKey();
    EditionSectionName(section);
    EXPECT_STREQ(section, L"BRAMOK 11.3 (English UK)");
}

TEST_F(UpdateSettingsTest, FailedWritesChangeNothingAndSayTheyFailed)
{
    const std::string original = "[General]\r\nBramokUpload=false\r\n";
    ASSERT_TRUE(test::WriteFileText(kFile, original));
    // Held open without sharing by another party: every write fails. (A
    // read-only attribute does not stop root under wine.)
    HANDLE held = CreateFileA(kFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    UpdateSettings settings;
    EXPECT_FALSE(SaveUpdateSettings(Path().c_str(), kUk, settings));
    MarkCheckRequested(Path().c_str(), kUk);
    CloseHandle(held);
    EXPECT_EQ(test::ReadFileText(kFile), original);

    // Missing folders are never created.
    test::RemoveTree(kFolder);
    EXPECT_FALSE(SaveUpdateSettings(Path().c_str(), kUk, settings));
    MarkCheckRequested(Path().c_str(), kUk);
    EXPECT_FALSE(test::FileExists(kFolder));
    // Empty path or section: nothing to do.
    EXPECT_FALSE(SaveUpdateSettings(L"", kUk, settings));
    EXPECT_FALSE(SaveUpdateSettings(Path().c_str(), L"", settings));
}

TEST_F(UpdateSettingsTest, CheckNowReachesTheServiceAfterTheFlag)
{
    const std::string record = kFolder + "\\controls.txt";
    test::RemoveUpdateService();
    MarkCheckRequested(Path().c_str(), kUk);
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::ServiceUnavailable);
    EXPECT_EQ(test::ProfileString(kFile, "BRAMOK 11.3 (English UK)", "Check"), "true");

    test::TestService service(record, kFile, "BRAMOK 11.3 (English UK)", false);
    ASSERT_TRUE(service.Installed());
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Failed);   // installed, not running
    ASSERT_TRUE(service.Start());
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Delivered);
    EXPECT_TRUE(service.Stop());
    EXPECT_EQ(test::ReadFileText(record), "130 check=true\n");
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Failed);   // stopped again
}

TEST_F(UpdateSettingsTest, AServiceTooSlowToAnswerCountsAsReached)
{
    const std::string record = kFolder + "\\controls.txt";
    test::TestService service(record, kFile, "BRAMOK 11.3 (English UK)", true);
    ASSERT_TRUE(service.Start());
    const DWORD start = GetTickCount();
    EXPECT_EQ(SendCheckNowControl(), CheckRequestResult::Delivered);
    EXPECT_LT(GetTickCount() - start, 30000u);
    Sleep(2000);   // let the handler finish before the stop is queued
    EXPECT_TRUE(service.Stop());
    EXPECT_EQ(test::ReadFileText(record), "130 check=<none>\n");
}
