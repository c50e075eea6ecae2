#include "activity/UserLocale.h"

#include <windows.h>

#include <cstdio>

void GetUserLocaleName(char (&name)[kLocaleNameSize])
{
    constexpr int kPartSize = 128;
    char language[kPartSize] = "";
    char country[kPartSize] = "";
    char codePage[kPartSize] = "";
    const bool known =
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, language, kPartSize) > 1 &&
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, kPartSize) > 1 &&
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, codePage, kPartSize) > 1;
    if (!known) {
        std::snprintf(name, sizeof name, "C");
        return;
    }
    // Locales without an ANSI code page report "0"; the runtime then speaks
    // of the process's own code page.
    if (codePage[0] == '0' && codePage[1] == '\0')
        std::snprintf(codePage, sizeof codePage, "%u", GetACP());
    std::snprintf(name, sizeof name, "%s_%s.%s", language, country, codePage);
}
