#pragma once

#include <cstddef>

constexpr std::size_t kLocaleNameSize = 260;

// The user's default locale named the way the Windows C runtime names it
// ("English_United Kingdom.1252"). Asks the system directly, so it neither
// throws nor touches the process's C or C++ global locale. "C" when the
// system cannot say.
void GetUserLocaleName(char (&name)[kLocaleNameSize]);
