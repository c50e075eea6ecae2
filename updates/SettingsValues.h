#pragma once

// Reading and naming the update service's settings; plain text in, plain
// values out.

constexpr int kDefaultUpdateMode = 1;

// "UpdateMode": leading white space and a sign, then decimal digits up to
// the first other character. An empty text keeps current; a text without
// digits, or a number outside the 32-bit signed range, gives the default 1.
int ParseUpdateMode(const wchar_t* text, int current);

// "BramokUpload": "false" in any letter case switches the upload off; any
// other value leaves current as it is.
bool ParseProductUpload(const wchar_t* text, bool current);

// Edition section for a language code: "uk", "us" and "nl" in any letter
// case name their editions; anything else, or null, is the English UK one.
const char* EditionSectionFor(const char* languageCode);
