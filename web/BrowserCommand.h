#pragma once

#include <string>

// Cuts the argument placeholders off the default browser's command: the
// text from "-nohome" on, then from "\"%1\"" on, then from "%1" on.
// Nothing else changes.
std::string CleanBrowserCommand(std::string command);

// The web address of page kinds 0, 1 and 2; null for any other kind.
const char* WebPageAddress(unsigned char pageKind);

// "Quote" for kind 4, "Releasenotes" for kind 5; null for any other kind.
const char* LocalPageName(unsigned char pageKind);
