#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

// Every text fits at 100 to 200% in every language; controls stay apart, inside the dialog, with
// mnemonics of their own. In the face Windows gives "MS Shell Dlg", then in a wider one.
TEST(DialogFitTest, EveryTextFitsAtEveryScaleInEveryLanguage)
{
    // The 64-bit view, where wine's font code reads it in a 32-bit process too.
    HKEY fonts = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, &fonts),
              ERROR_SUCCESS);
    for (const std::string face : {"Tahoma", "DejaVu Sans"}) {
        RegSetValueExA(fonts, "MS Shell Dlg", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(face.c_str()), face.size() + 1);
        for (DWORD dpi : {96, 120, 144, 192}) {
            test::SetValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels",
                           std::string(reinterpret_cast<const char*>(&dpi), 4), REG_DWORD);
            std::string command = "startup 1 nowindow", fitted = "startup 1\n";
            for (const char* code : {"uk", "us", "nl", "qps-ploc"}) {
                command += std::string(" fit ") + code;
                fitted += "fit " + (code + (" " + std::to_string(dpi))) + "\nfont " + face + "\n";
            }
            EXPECT_EQ(test::RunHost(command, 120000), fitted);
        }
    }
    RegSetValueExA(fonts, "MS Shell Dlg", 0, REG_SZ, reinterpret_cast<const BYTE*>("Tahoma"), 7);
    RegCloseKey(fonts);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
}
