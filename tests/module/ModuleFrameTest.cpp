#include "tests/support/Deployment.h"
#include "tests/support/WinTestSupport.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using test::Deployment;

namespace {

using Lines = std::vector<std::string>;

std::string LogFolder()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\BRAMOK\\11.3";
}

class ModuleFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::DeleteProductKey();
        test::RemoveTree(LogFolder());
        CreateDirectoryA((LogFolder() + "\\..").c_str(), nullptr);
        CreateDirectoryA(LogFolder().c_str(), nullptr);
    }
    void TearDown() override
    {
        test::DeleteProductKey();
        test::RemoveTree(LogFolder());
    }
    static std::string LogText()
    {
        const std::vector<std::string> files = test::ListFiles(LogFolder());
        return files.size() == 1 ? test::ReadFileText(LogFolder() + "\\" + files[0]) : "";
    }
};

} // namespace

TEST_F(ModuleFrameTest, StartupWithAWindowRestoresTheResourceHandleAndRecordsTheRun)
{
    Deployment deployment("startup-window");
    deployment.AddLanguage("uk");
    deployment.AddLanguage("nl");
    test::SetLanguageValue(std::string("nl\0", 3), REG_SZ);
    EXPECT_EQ(deployment.Run("state startup 4711 state"),
              (Lines{"state resource=BramokHost.exe wait=0 loaded=none", "startup 1",
                     "state resource=BramokHost.exe wait=0 loaded=nl\\BRMSUPP.DLL"}));
    const std::string log = LogText();
    EXPECT_EQ(log.rfind("[System]\r\n", 0), 0u) << log;
    EXPECT_NE(log.find("[4711-1-9]\r\n1=1\r\n"), std::string::npos) << log;
}

TEST_F(ModuleFrameTest, NoLanguageModuleMeansResultZeroAndNothingElse)
{
    Deployment deployment("no-modules");
    deployment.AddFolder("nl");
    test::SetLanguageValue(std::string("nl\0", 3), REG_SZ);
    EXPECT_EQ(deployment.Run("startup 5 nowindow state startup 5 state"),
              (Lines{"startup 0", "state resource=BramokHost.exe wait=0 loaded=none", "startup 0",
                     "state resource=BramokHost.exe wait=0 loaded=none"}));
    EXPECT_TRUE(test::ListFiles(LogFolder()).empty());
    // No message box was shown: the host would not have finished.
}

TEST_F(ModuleFrameTest, ShutdownFreesOnlyWithAWindowAndNeverTwice)
{
    Deployment deployment("shutdown");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run("startup 1 shutdown nowindow state shutdown state shutdown state"),
              (Lines{"startup 1", "shutdown cursor-restored 1",
                     "state resource=BramokHost.exe wait=0 loaded=uk\\BRMSUPP.DLL",
                     "shutdown cursor-restored 1",
                     "state resource=BramokHost.exe wait=0 loaded=none",
                     "shutdown cursor-restored 1",
                     "state resource=BramokHost.exe wait=0 loaded=none"}));
    // After a start-up without a window the freed module is not left as the
    // resource handle.
    EXPECT_EQ(deployment.Run("startup 1 nowindow shutdown state"),
              (Lines{"startup 1", "shutdown cursor-restored 1",
                     "state resource=BramokHost.exe wait=0 loaded=none"}));
}

TEST_F(ModuleFrameTest, VersionDateInEveryState)
{
    Deployment deployment("version");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run("version startup 1 version load xx version shutdown version"),
              (Lines{"version 5 2015", "startup 1", "version 5 2015", "load none",
                     "version 5 2015", "shutdown cursor-restored 1", "version 5 2015"}));
}

TEST_F(ModuleFrameTest, HostWithoutAnApplicationObject)
{
    Deployment deployment("no-app");
    deployment.AddLanguage("uk");
    EXPECT_EQ(deployment.Run("noapp startup 3 state shutdown"),
              (Lines{"startup 1", "state resource=BramokHost.exe wait=-1 loaded=uk\\BRMSUPP.DLL",
                     "shutdown cursor-restored 1"}));
    EXPECT_NE(LogText().find("[3-1-9]\r\n1=1\r\n"), std::string::npos);
}

TEST_F(ModuleFrameTest, SecondStartupReplacesTheModule)
{
    Deployment deployment("twice");
    deployment.AddLanguage("uk");
    deployment.AddLanguage("us");
    test::SetLanguageValue(std::string("us\0", 3), REG_SZ);
    EXPECT_EQ(deployment.Run("startup 1 load uk startup 1 state"),
              (Lines{"startup 1", "load uk\\BRMSUPP.dll", "startup 1",
                     "state resource=BramokHost.exe wait=0 loaded=us\\BRMSUPP.DLL"}));
    EXPECT_NE(LogText().find("[1-1-9]\r\n1=2\r\n"), std::string::npos);
}
