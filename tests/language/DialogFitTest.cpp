#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

// Every text fits its control at 100, 125, 150 and 200%, in every language and the
// pseudo-language, and in the host's About box; controls stay apart, inside the dialog, with
// mnemonics of their own.
TEST(DialogFitTest, EveryTextFitsAtEveryScaleInEveryLanguage)
{
    for (DWORD dpi : {96, 120, 144, 192}) {
        test::SetValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels",
                       std::string(reinterpret_cast<const char*>(&dpi), 4), REG_DWORD);
        const std::string scale = " " + std::to_string(dpi) + "\n";
        EXPECT_EQ(test::RunProcess("\"" + test::ExecutableFolder() + "TestHost.exe\" startup 1 "
                                   "nowindow fit uk fit us fit nl fit qps-ploc shutdown fit about",
                                   120000),
                  "startup 1\nfit uk" + scale + "fit us" + scale + "fit nl" + scale +
                      "fit qps-ploc" + scale + "shutdown\nfit about" + scale);
    }
    test::DeleteValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
}
