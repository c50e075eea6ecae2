#include "updates/SettingsValues.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseUpdateMode, DecimalWithDefinedResultsForEverythingElse)
{
    const struct {
        const wchar_t* text;
        int mode;
    } rows[] = {
        {L"", 4},                      // empty: the caller's value stands
        {L"3", 3},
        {L" 3", 3},
        {L"\t2", 2},
        {L"+2", 2},
        {L"-1", -1},
        {L"7", 7},
        {L"3abc", 3},
        {L"2 ", 2},
        {L"abc", 1},
        {L"+", 1},
        {L"-", 1},
        {L" ", 1},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"2147483648", 1},            // outside the 32-bit range
        {L"-2147483649", 1},
        {L"99999999999", 1},
        {L"000000000000000000005", 5},
    };
    for (const auto& row : rows) {
        const std::wstring text(row.text);
        EXPECT_EQ(ParseUpdateMode(row.text, 4), row.mode) << std::string(text.begin(), text.end());
    }
    EXPECT_EQ(ParseUpdateMode(nullptr, 4), 4);
}

TEST(ParseProductUpload, OnlyFalseInAnyCaseSwitchesOff)
{
    for (const wchar_t* off : {L"false", L"FALSE", L"False", L"fAlSe"})
        EXPECT_FALSE(ParseProductUpload(off, true));
    for (const wchar_t* on : {L"true", L"0", L"no", L"off", L"", L"false ", L" false", L"fals",
                              L"falsey"})
        EXPECT_TRUE(ParseProductUpload(on, true));
    EXPECT_FALSE(ParseProductUpload(L"true", false));   // never switches on
    EXPECT_TRUE(ParseProductUpload(nullptr, true));
}

TEST(EditionSectionFor, ThreeEditionsAndTheUkFallback)
{
    EXPECT_STREQ(EditionSectionFor("uk"), "BRAMOK 11.3 (English UK)");
    EXPECT_STREQ(EditionSectionFor("us"), "BRAMOK 11.3 (English US)");
    EXPECT_STREQ(EditionSectionFor("US"), "BRAMOK 11.3 (English US)");
    EXPECT_STREQ(EditionSectionFor("nl"), "BRAMOK 11.3 (Nederlands)");
    EXPECT_STREQ(EditionSectionFor("Nl"), "BRAMOK 11.3 (Nederlands)");
    for (const char* other : {"de", "", "u", "usa", "nl ", "\xC9s"})
        EXPECT_STREQ(EditionSectionFor(other), "BRAMOK 11.3 (English UK)") << other;
    EXPECT_STREQ(EditionSectionFor(nullptr), "BRAMOK 11.3 (English UK)");
}
