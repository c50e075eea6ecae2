#include "activity/TextBlanks.h"

#include <gtest/gtest.h>

#include <string>

TEST(StripLeadingBlanks, RemovesOnlyLeadingSpacesAndTabs)
{
    const char* const rows[][2] = {
        {"", ""}, {"   ", ""}, {"\t \t", ""}, {"\tWine Adapter", "Wine Adapter"},
        {"    Intel(R) Core(TM) i7 CPU  ", "Intel(R) Core(TM) i7 CPU  "}, {" a b\t", "a b\t"},
        {"no blanks", "no blanks"}, {"\n x", "\n x"}, {"\r\tx", "\r\tx"},   // only space and tab
    };
    for (const auto& row : rows) {
        std::string buffer(row[0]);
        StripLeadingBlanks(&buffer[0]);
        EXPECT_STREQ(buffer.c_str(), row[1]) << '"' << row[0] << '"';
    }
    StripLeadingBlanks(nullptr);
}
