#include "updates/SettingsValues.h"

#include <gtest/gtest.h>

#include <string>

TEST(SettingsValues, ModeUploadAndEditionSection)
{
    // No number or one outside 32 bits gives 1; empty text keeps the caller's value.
    const std::pair<const wchar_t*, int> modes[] = {
        {L"\t 3abc", 3}, {L"+2", 2},         {L"07", 7}, {L"-2147483648", -2147483647 - 1},
        {L"-", 1},       {L"2147483648", 1}, {L"", 4}};
    for (const auto& [text, mode] : modes)
        EXPECT_EQ(ParseUpdateMode(text, 4), mode) << text;

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
