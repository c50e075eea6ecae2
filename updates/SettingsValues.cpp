#include "updates/SettingsValues.h"

#include <cstdint>

namespace {

wchar_t LowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsIgnoringCase(const char* text, const char* lower)
{
    for (; *lower != '\0'; ++text, ++lower)
        if (LowerAscii(static_cast<wchar_t>(static_cast<unsigned char>(*text))) !=
            static_cast<wchar_t>(static_cast<unsigned char>(*lower)))
            return false;
    return *text == '\0';
}

} // namespace

int ParseUpdateMode(const wchar_t* text, int current)
{
    if (text == nullptr || *text == L'\0')
        return current;
    while (*text == L' ' || (*text >= L'\t' && *text <= L'\r'))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') {
        negative = *text == L'-';
        ++text;
    }
    if (*text < L'0' || *text > L'9')
        return kDefaultUpdateMode;
    int64_t value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > INT64_C(2147483648))
            return kDefaultUpdateMode;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return kDefaultUpdateMode;
    return static_cast<int>(value);
}

bool ParseProductUpload(const wchar_t* text, bool current)
{
    if (text == nullptr)
        return current;
    const wchar_t* expected = L"false";
    for (; *expected != L'\0'; ++text, ++expected)
        if (LowerAscii(*text) != *expected)
            return current;
    return *text == L'\0' ? false : current;
}

const char* EditionSectionFor(const char* languageCode)
{
    if (languageCode != nullptr) {
        if (EqualsIgnoringCase(languageCode, "us"))
            return "BRAMOK 11.3 (English US)";
        if (EqualsIgnoringCase(languageCode, "nl"))
            return "BRAMOK 11.3 (Nederlands)";
    }
    return "BRAMOK 11.3 (English UK)";
}
