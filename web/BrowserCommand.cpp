#include "web/BrowserCommand.h"

namespace {

void CutAt(std::string& text, const char* pattern)
{
    const std::size_t at = text.find(pattern);
    if (at != std::string::npos)
        text.erase(at);
}

} // namespace

std::string CleanBrowserCommand(std::string command)
{
    CutAt(command, "-nohome");
    CutAt(command, "\"%1\"");
    CutAt(command, "%1");
    return command;
}

const char* WebPageAddress(unsigned char pageKind)
{
    switch (pageKind) {
    case 0:
        return "http://www.voranda.com/bramok/";
    case 1:
        return "http://www.voranda.com/bramok/downloads.aspx";
    case 2:
        return "http://www.voranda.com/";
    default:
        return nullptr;
    }
}

const char* LocalPageName(unsigned char pageKind)
{
    switch (pageKind) {
    case 4:
        return "Quote";
    case 5:
        return "Releasenotes";
    default:
        return nullptr;
    }
}
