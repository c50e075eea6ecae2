#include "web/BrowserCommand.h"

#include <gtest/gtest.h>

TEST(CleanBrowserCommand, CutsThePlaceholdersInOrder)
{
    const char* const rows[][2] = {
        {"\"C:\\B\\b.exe\" -nohome", "\"C:\\B\\b.exe\" "}, {"\"C:\\B\\b.exe\" \"%1\"", "\"C:\\B\\b.exe\" "},
        {"C:\\B\\b.exe %1 -new-window -x", "C:\\B\\b.exe "}, {"C:\\B\\b.exe", "C:\\B\\b.exe"},
        {"", ""}, {"%1", ""}, {"b.exe -nohome \"%1\" %1", "b.exe "}, {"b.exe \"%1\" %1", "b.exe "},
        {"b.exe -NOHOME %2", "b.exe -NOHOME %2"},   // literal, case-sensitive
    };
    for (const auto& row : rows)
        EXPECT_EQ(CleanBrowserCommand(row[0]), row[1]) << row[0];
}

TEST(PageNames, OnlyTheFiveKindsHaveATarget)
{
    // The targets themselves are checked through the host (PageLauncherTest).
    for (int kind = 0; kind < 256; ++kind) {
        const auto k = static_cast<unsigned char>(kind);
        EXPECT_EQ(WebPageAddress(k) != nullptr || LocalPageName(k) != nullptr,
                  kind <= 2 || kind == 4 || kind == 5) << kind;
    }
}
