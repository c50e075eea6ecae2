#include "activity/ActivityLog.h"

#include "activity/ActivityNaming.h"
#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <list>
#include <thread>

TEST(ActivityLog, FileNamedForVolumeComputerAndMonthCountsHeldAtTheTopUnlessSwitchedOff)
{
    test::CleanMachine();
    // The test session gives drive C: a known serial.
    char host[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof host;
    ASSERT_TRUE(GetComputerNameA(host, &size));
    const std::string prefix = test::kLogFolder + "\\" + std::to_string(0x12345678) +
                               std::to_string(HashComputerName(host)) + "_";
    const std::time_t now = std::time(nullptr);
    char month[16];
    std::strftime(month, sizeof month, "%Y%m.inf", std::localtime(&now));
    LogActivity(12, 3);
    const std::string path = test::OnlyLog();
    EXPECT_EQ(path, prefix + month) << "host " << host;
    // The hash, computed independently: 32-bit FNV-1a of all but the last byte, as unsigned.
    EXPECT_EQ(HashComputerName("P"), 2166136261u);
    EXPECT_EQ(HashComputerName("PC"), 3574337935u);
    EXPECT_EQ(HashComputerName("\xE9Z"), 1812687940u);

    // Unreadable text starts again at 1; the top is held, not wrapped.
    ASSERT_TRUE(test::WriteFileText(path, "[5-1-9]\r\n1=abc\r\n2=4294967295\r\n3=99999999999\r\n"));
    for (uint32_t key = 1; key <= 3; ++key) LogActivity(5, key);
    LogActivity(4294967295u, 0);
    EXPECT_EQ(test::ReadFileText(path), "[5-1-9]\r\n1=1\r\n2=4294967295\r\n3=4294967295\r\n"
                                        "[4294967295-1-9]\r\n0=1\r\n");

    // Each local month has a file of its own.
    struct tm when = {0, 0, 0, 1, 1, 2015 - 1900, 0, 0, -1};
    LogActivityAt(9, 1, _mktime64(&when));
    const std::string february = test::ReadFileText(prefix + "201502.inf");
    EXPECT_EQ(february.substr(february.find("[9-1-9]")), "[9-1-9]\r\n1=1\r\n");

    // Any value but 0 of the switch turns the log off; a missing folder is never created.
    test::FreshFolder(test::kLogFolder);
    for (DWORD off : {1u, 0x80000000u, 0u}) {
        test::SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VORANDA\\BRAMOK", "DisableActivityLog",
                       std::string(reinterpret_cast<const char*>(&off), sizeof off), REG_DWORD);
        LogActivity(3, 1);
        EXPECT_EQ(std::filesystem::is_empty(test::kLogFolder), off != 0) << off;
    }
    test::RemoveTree(test::kLogFolder);
    LogActivity(1, 1);
    EXPECT_EQ(GetFileAttributesA(test::kLogFolder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ActivityLog, ProcessesRecordingAtOnceLoseNoCount)
{
    test::CleanMachine();
    LogActivity(77, 1);
    const std::string path = test::OnlyLog();
    const std::string lock = "Global\\BRAMOK.ActivityLog." + path.substr(path.rfind('\\') + 1);
    // A holder that keeps writing past the give-up time is waited for, not written past; it writes
    // from before the first recorder starts (starting eight takes seconds under load).
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
        EXPECT_EQ(process.Finish(120000), said)
            << "exit code " << process.ExitCode();
    }
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "1"), "201");

    // One that stops writing is given up on after a while: a start-up is recorded, not held up.
    holder = CreateMutexA(nullptr, TRUE, lock.c_str());
    EXPECT_EQ(test::RunProcess(test::BuiltHost() + "startup 77"), "startup 1\n");
    EXPECT_EQ(test::ProfileString(path, "77-1-9", "1"), "202");
    ReleaseMutex(holder);
    CloseHandle(holder);

    // A host living on after its start-up holds up no other: it has let go of the lock (which our
    // handle keeps in being meanwhile).
    holder = CreateMutexA(nullptr, FALSE, lock.c_str());
    test::Process living(test::BuiltHost() + "startup 77 about");
    for (int waited = 0; waited < 60000 && living.Output().empty(); waited += 50)
        Sleep(50);
    EXPECT_EQ(living.Output(), "startup 1\n");
    EXPECT_EQ(WaitForSingleObject(holder, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(holder);   // and the lock with it
}
