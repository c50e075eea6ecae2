#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <list>
#include <thread>

// The file is named for volume, computer and month; counts restart on bad text, hold at the top.
TEST(ActivityLog, FileNamedForVolumeComputerAndMonthCountsHeldAtTheTopUnlessSwitchedOff)
{
    test::CleanMachine();
    char host[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof host;
    ASSERT_TRUE(GetComputerNameA(host, &size));
    const std::time_t now = std::time(nullptr);
    char month[16];
    std::strftime(month, sizeof month, "_%Y%m.inf", std::localtime(&now));
    // The test session gives drive C: a known serial.
    const std::string prefix = test::kLogFolder + "\\" + std::to_string(0x12345678) +
                               std::to_string(HashComputerName(host));
    const std::string february = prefix + "_201502.inf", path = prefix + month;
    ASSERT_TRUE(test::WriteFileText(february, "[12-1-9]\r\n1=7\r\n"));
    EXPECT_EQ(test::RunHost("startup 12"), "startup 1\n");
    EXPECT_EQ(test::ProfileString(path, "12-1-9", "1"), "1") << "host " << host;
    EXPECT_EQ(test::ReadFileText(february), "[12-1-9]\r\n1=7\r\n");
    // The hash, computed independently: 32-bit FNV-1a of all but the last byte, as unsigned.
    EXPECT_EQ(HashComputerName("P"), 2166136261u);
    EXPECT_EQ(HashComputerName("PC"), 3574337935u);
    EXPECT_EQ(HashComputerName("\xE9Z"), 1812687940u);

    // As another program may have written it: text, a sign, beyond the top.
    const std::pair<std::string, std::string> counts[] = {
        {"abc", "1"}, {"+41", "42"}, {"4294967295", "4294967295"}, {"99999999999", "4294967295"}};
    for (const auto& [count, next] : counts) {
        ASSERT_TRUE(test::WriteFileText(path, "[5-1-9]\r\n1=" + count + "\r\n"));
        test::RunHost("startup 5");
        EXPECT_EQ(test::ReadFileText(path), "[5-1-9]\r\n1=" + next + "\r\n") << count;
    }
    test::RunHost("startup 4294967295");
    EXPECT_EQ(test::ProfileString(path, "4294967295-1-9", "1"), "1");

    for (DWORD off : {1u, 0x80000000u, 0u}) {
        test::FreshFolder(test::kLogFolder);
        test::SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog",
                       std::string(reinterpret_cast<const char*>(&off), sizeof off), REG_DWORD);
        test::RunHost("startup 3");
        EXPECT_EQ(std::filesystem::is_empty(test::kLogFolder), off != 0) << off;
    }
    test::RemoveTree(test::kLogFolder);
    test::RunHost("startup 1");
    EXPECT_EQ(GetFileAttributesA(test::kLogFolder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ActivityLog, ProcessesRecordingAtOnceLoseNoCount)
{
    test::CleanMachine();
    test::RunHost("startup 77");
    const std::string path = test::OnlyLog();
    const std::string lock = "Global\\BRAMOK.ActivityLog." + path.substr(path.rfind('\\') + 1);
    // A holder that keeps writing past the give-up time is waited for, not written past.
    HANDLE holder = CreateMutexA(nullptr, TRUE, lock.c_str());
    std::atomic<bool> holding{true};
    std::thread writer([&] {
        for (int tick = 0; holding; ++tick) {
            WritePrivateProfileStringA("holder", "tick", std::to_string(tick).c_str(), &path[0]);
            Sleep(250);
        }
    });
    std::string commands, said;   // each start-up records one run of code 77, category 1
    for (int run = 0; run < 25; ++run) {
        commands += " startup 77 nowindow";
        said += "startup 1\n";
    }
    std::list<test::Process> processes;
    for (int i = 0; i < 8; ++i)
        processes.emplace_back(test::BuiltHost() + commands);
    Sleep(5000);
    holding = false;
    writer.join();
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "1"), "1");
    ReleaseMutex(holder);
    CloseHandle(holder);
    for (test::Process& process : processes) {   // one that fails loses its 25: say which and how
        EXPECT_EQ(process.Finish(120000), said) << "exit code " << process.ExitCode();
    }
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "1"), "201");

    // One that stops writing is given up on after a while: a start-up is recorded, not held up.
    holder = CreateMutexA(nullptr, TRUE, lock.c_str());
    EXPECT_EQ(test::RunHost("startup 77"), "startup 1\n");
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "1"), "202");
    ReleaseMutex(holder);
    CloseHandle(holder);

    // A host living on after its start-up has let go of the lock.
    holder = CreateMutexA(nullptr, FALSE, lock.c_str());
    test::Process living(test::BuiltHost() + "startup 77 about");
    for (int waited = 0; waited < 60000 && living.Output().empty(); waited += 50)
        Sleep(50);
    EXPECT_EQ(living.Output(), "startup 1\n");
    EXPECT_EQ(WaitForSingleObject(holder, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(holder);   // and the lock with it
}
