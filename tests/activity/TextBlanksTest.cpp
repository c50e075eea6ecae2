#include "activity/TextBlanks.h"

#include <gtest/gtest.h>

#include <string>

TEST(StripLeadingBlanks, RemovesOnlyLeadingSpacesAndTabs)
{
    const struct {
        const char* text;
        const char* expected;
    } rows[] = {
        {"", ""},
        {"   ", ""},
        {"\t \t", ""},
        {"       Intel(R) Core(TM) i7 CPU  ", "Intel(R) Core(TM) i7 CPU  "},
        {"\tWine Adapter", "Wine Adapter"},
        {"no blanks", "no blanks"},
        {" a b\t", "a b\t"},
        {"\n x", "\n x"},      // only space and tab count as blanks
        {"\r\tx", "\r\tx"},
    };
    for (const auto& row : rows) {
        std::string buffer(row.text);
        buffer.push_back('\0');
        buffer += "tail";   // bytes after the terminator stay untouched
        StripLeadingBlanks(&buffer[0]);
        EXPECT_STREQ(buffer.c_str(), row.expected) << "text \"" << row.text << "\"";
    }
    StripLeadingBlanks(nullptr);
}
