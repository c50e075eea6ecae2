#pragma once

#include <windows.h>

// Points module's import of the function called name (from any library) at replacement, so a
// host or test program can watch or fail a platform call the module makes.
void ReplaceImport(HMODULE module, const char* name, const void* replacement);
