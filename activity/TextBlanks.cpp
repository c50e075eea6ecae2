#include "activity/TextBlanks.h"

#include <cstring>

void StripLeadingBlanks(char* text)
{
    if (text == nullptr)
        return;
    const char* first = text;
    while (*first == ' ' || *first == '\t')
        ++first;
    if (first != text)
        std::memmove(text, first, std::strlen(first) + 1);
}
