#include "activity/TextBlanks.h"

#include <gtest/gtest.h>

#include <string>

// Leading spaces and tabs go, with nothing of the old tail left; other blanks and the rest stay.
TEST(StripLeadingBlanks, OnlyLeadingSpacesAndTabs)
{
    const std::pair<const char*, const char*> rows[] = {
        {"  ab", "ab"}, {" \t ab c ", "ab c "}, {"ab  ", "ab  "}, {"\n ab", "\n ab"}, {" \t", ""}, {"", ""}};
    for (const auto& [text, stripped] : rows) {
        std::string value = text;
        StripLeadingBlanks(&value[0]);
        EXPECT_STREQ(value.c_str(), stripped) << '"' << text << '"';
    }
    StripLeadingBlanks(nullptr);   // nothing to strip
}
