#include "updates/SettingsValues.h"

#include <gtest/gtest.h>

#include <string>

TEST(SettingsValues, ModeUploadAndEditionSection)
{
    const struct {
        const wchar_t* text;
        int mode;
    } modes[] = {
        {L"", 4}, {L"3", 3}, {L" 3", 3}, {L"\t2", 2}, {L"+2", 2}, {L"-1", -1}, {L"7", 7},
        {L"3abc", 3}, {L"2 ", 2}, {L"abc", 1}, {L"+", 1}, {L"-", 1}, {L" ", 1},
        {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1}, {L"2147483648", 1},
        {L"-2147483649", 1}, {L"99999999999", 1}, {L"000000000000000000005", 5},
    };
    for (const auto& row : modes)   // empty keeps the caller's 4; outside 32 bits gives 1
        EXPECT_EQ(ParseUpdateMode(row.text, 4), row.mode) << row.text;
    EXPECT_EQ(ParseUpdateMode(nullptr, 4), 4);

    // Only "false" in any case switches the upload off; nothing switches it on.
    for (const wchar_t* off : {L"false", L"FALSE", L"False", L"fAlSe"})
        EXPECT_FALSE(ParseProductUpload(off, true)) << off;
    for (const wchar_t* on : {L"true", L"0", L"no", L"off", L"", L"false ", L" false", L"fals",
                              L"falsey", static_cast<const wchar_t*>(nullptr)})
        EXPECT_TRUE(ParseProductUpload(on, true)) << on;
    EXPECT_FALSE(ParseProductUpload(L"true", false));

    const char* const sections[][2] = {
        {"uk", "English UK"}, {"us", "English US"}, {"US", "English US"}, {"nl", "Nederlands"},
        {"Nl", "Nederlands"}, {"de", "English UK"}, {"", "English UK"}, {"u", "English UK"},
        {"usa", "English UK"}, {"nl ", "English UK"}, {"\xC9s", "English UK"},
    };
    for (const auto& row : sections)
        EXPECT_EQ(EditionSectionFor(row[0]), "BRAMOK 11.3 (" + std::string(row[1]) + ")") << row[0];
    EXPECT_STREQ(EditionSectionFor(nullptr), "BRAMOK 11.3 (English UK)");
}
