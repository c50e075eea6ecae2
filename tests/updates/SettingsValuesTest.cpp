#include "updates/SettingsValues.h"

#include <gtest/gtest.h>

#include <string>

TEST(SettingsValues, ModeUploadAndEditionSection)
{
    // Empty keeps the caller's 4; no number or one outside 32 bits gives 1.
    const struct {
        const wchar_t* text;
        int mode;
    } modes[] = {{L"", 4}, {L"\t 3abc", 3}, {L"+2", 2}, {L"-2147483648", -2147483647 - 1},
                 {L"-", 1}, {L"2147483648", 1}, {L"99999999999", 1}};
    for (const auto& row : modes)
        EXPECT_EQ(ParseUpdateMode(row.text, 4), row.mode) << row.text;

    // Only "false" in any case switches the upload off; nothing switches it on.
    EXPECT_FALSE(ParseProductUpload(L"fAlSe", true));
    for (const wchar_t* on : {L"false ", L"fals", static_cast<const wchar_t*>(nullptr)})
        EXPECT_TRUE(ParseProductUpload(on, true)) << on;
    EXPECT_FALSE(ParseProductUpload(L"true", false));

    const char* const sections[][2] = {
        {"US", "English US"}, {"nL", "Nederlands"}, {"u", "English UK"}, {"usa", "English UK"}};
    for (const auto& row : sections)
        EXPECT_EQ(EditionSectionFor(row[0]), "BRAMOK 11.3 (" + std::string(row[1]) + ")") << row[0];
}
