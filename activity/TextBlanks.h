#pragma once

// Removes every space and tab before the first other character, in place.
// Blanks after that character stay; an all-blank text becomes empty.
// A null text is left alone.
void StripLeadingBlanks(char* text);
