#pragma once

#include <windows.h>

#include <cstddef>

constexpr std::size_t kLanguageCodeSize = 16;

// The interface language: the product key's "Language", else the first
// two-letter folder beside the host executable (then stored), else "uk".
void SelectLanguageCode(char (&code)[kLanguageCodeSize]);

// Loads the language resource module for code, or for "uk" when that
// fails, into g_hLanguageModule. Whether one was loaded.
bool LoadLanguageResources(const char* code);

// LoadLanguageModule (declared in module/BRMSUPP.h) loads the language module
// from the code's folder under the support module's own file name.
