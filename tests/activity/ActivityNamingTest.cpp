#include "activity/ActivityNaming.h"

#include <gtest/gtest.h>

#include <string>

TEST(ActivityNaming, HashCounterTextAndFileNameRoom)
{
    // 32-bit FNV-1a over every byte but the last, bytes unsigned.
    EXPECT_EQ(HashComputerName("P"), 2166136261u);
    EXPECT_EQ(HashComputerName("PC"), 3574337935u);
    EXPECT_EQ(HashComputerName("\xE9Z"), 1812687940u);

    const struct {
        const char* text;
        uint32_t count;
    } rows[] = {{"\t 12abc", 12}, {"+5", 5}, {"-5", 0}, {"4294967296", 4294967295u},
                {"000000000000000000000000042", 42}};
    for (const auto& row : rows)
        EXPECT_EQ(ParseCounter(row.text), row.count) << '"' << row.text << '"';

    // An exactly fitting name is taken; one character more is refused, left empty.
    char name[32];
    const std::string folder(sizeof name - 1 - 13, 'd');   // 13: "00_201503.inf"
    ASSERT_TRUE(FormatLogFileName(name, sizeof name, folder.c_str(), 0, 0, 2015, 3));
    EXPECT_EQ(name, folder + "00_201503.inf");
    EXPECT_FALSE(FormatLogFileName(name, sizeof name, (folder + "\\").c_str(), 0, 0, 2015, 3));
    EXPECT_STREQ(name, "");
}
