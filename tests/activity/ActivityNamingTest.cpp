#include "activity/ActivityNaming.h"

#include <gtest/gtest.h>

#include <string>

TEST(ActivityNaming, HashHashesEveryByteButTheLast)
{
    // Expected values computed independently with 32-bit FNV-1a; "P" and "" hash nothing.
    const struct {
        const char* name;
        uint32_t hash;
    } rows[] = {
        {"", 2166136261u}, {"P", 2166136261u}, {"PC", 3574337935u}, {"VM", 3540782697u},
        {"WORKSTATION-0042", 3111683885u}, {"ABCDEFGHIJKLMNO", 1020659890u},
        {"\xE9Z", 1812687940u}, {"A\xE9Z", 3285482559u},   // bytes count as unsigned
    };
    for (const auto& row : rows)
        EXPECT_EQ(HashComputerName(row.name), row.hash) << '"' << row.name << '"';
    EXPECT_EQ(HashComputerName(nullptr), 2166136261u);
}

TEST(ActivityNaming, CounterTextReadsUnsignedDecimalAndSaturates)
{
    const struct {
        const char* text;
        uint32_t count;
    } rows[] = {
        {"41", 41}, {"0", 0}, {"", 0}, {"abc", 0}, {"12abc", 12}, {"  7", 7}, {"\t9", 9},
        {"+5", 5}, {"-5", 0}, {"--5", 0}, {"+-5", 0}, {"2147483647", 2147483647u},
        {"2147483648", 2147483648u}, {"4294967295", 4294967295u}, {"4294967296", 4294967295u},
        {"99999999999999999999999999", 4294967295u}, {"000000000000000000000000042", 42},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseCounter(row.text), row.count) << '"' << row.text << '"';
    EXPECT_EQ(ParseCounter(nullptr), 0u);
}

TEST(ActivityNaming, FileNameJoinsNumbersAndDateOrIsRefused)
{
    char name[32];
    ASSERT_TRUE(FormatLogFileName(name, sizeof name, "", 0, 4294967295u, 2026, 12));
    EXPECT_STREQ(name, "04294967295_202612.inf");

    const std::string suffix = "00_201503.inf";   // volume 0, hash 0, March 2015
    const std::string folder(sizeof name - 1 - suffix.size(), 'd');
    ASSERT_TRUE(FormatLogFileName(name, sizeof name, folder.c_str(), 0, 0, 2015, 3));
    EXPECT_EQ(name, folder + suffix);   // exactly fitting, terminator included
    // One character more: refused, and nothing half-written is left behind.
    EXPECT_FALSE(FormatLogFileName(name, sizeof name, (folder + "\\").c_str(), 0, 0, 2015, 3));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(FormatLogFileName(nullptr, 10, "", 0, 0, 2015, 3));
}
