#include "tests/support/WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kRecord = "C:\\browser.txt";

// The browser's command line ("" when none started) after the host ran the arguments.
std::string Open(const test::Deployment& host, const std::string& arguments)
{
    DeleteFileA(kRecord.c_str());
    EXPECT_NE(host.Run(arguments + " version").find("\nversion "), std::string::npos) << arguments;
    const auto lines = test::RecordLines(kRecord, 1, 2000);
    return lines.empty() ? "" : lines.front();
}

} // namespace

TEST(PageLauncherTest, ThePageFollowsTheCleanedCommandAndLocalPagesLieBesideTheHost)
{
    test::Deployment module("pages"), host("pages-host");
    const std::string browser = module.folder + "\\Browser.exe", quoted = "\"" + browser + "\"";
    test::UseRecordingBrowser(kRecord);
    CopyFileA((test::ExecutableFolder() + "RecordingBrowser.exe").c_str(), browser.c_str(), FALSE);
    const std::string site = " http://www.voranda.com/";
    // The page beside the host in a folder whose name makes its path 309 characters long.
    const std::string page = "\\Releasenotes.htm";
    const std::string longest(309 - module.folder.size() - 1 - page.size(), 'x');
    const std::string rows[][3] = {
        {quoted + " -nohome \"%1\"", "0 null", quoted + site + "bramok/"},
        {quoted + " -nohome", "0 null", quoted + site + "bramok/"},
        {quoted + " \"%1\" -x", "1 null", quoted + site + "bramok/downloads.aspx"},
        {browser + " %1 -new", "2 null", browser + site},
        {quoted, "256 null", quoted + site.substr(1) + "bramok/"},   // the low byte counts
        {quoted, "3 Help", ""},   // not a page
        {quoted, "4 null", ""},   // refused, as is a path of 310 characters or more
        {quoted, "5 " + longest, quoted + module.folder + "\\" + longest + page},
        {quoted, "5 " + longest + "x", ""},
    };
    for (const auto& row : rows) {
        // Any type and no terminator (a string type would get one): read as it stands.
        test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, nullptr, row[0], REG_BINARY);
        EXPECT_EQ(Open(module, "startup 1 open " + row[1]), row[2]) << row[0];
    }
    // The short path of a page found beside the host (not the module), else the long one.
    host.AddFolder("Help Files");
    const std::string notes = host.folder + "\\Help Files\\Releasenotes.htm";
    test::WriteFileText(notes, "x");
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(notes.c_str(), shortPath, MAX_PATH);
    const std::string from = "from " + module.folder + " startup 1 open ";
    EXPECT_EQ(Open(host, from + "261 \"Help Files\""), quoted + shortPath);
    EXPECT_EQ(Open(host, from + "4 \"Help Files\""),
              quoted + host.folder + "\\Help Files\\Quote.htm");
}

// A missing browser beeps and shows message 42 in the language; more failures hold nothing more.
TEST(PageLauncherTest, EveryWayTheBrowserIsMissingBeepsAndShowsMessage42)
{
    const test::Deployment module("pages", {"uk", "us", "nl"});
    const char* const codes[] = {"uk", "us", "nl"};
    const std::string values[] = {"<no key>", "<no default>", "", "\"C:\\none.exe\" \"%1\""};
    const std::string texts[] = {
        "Your default web browser could not be found or started. Please check which programme "
        "opens web pages on this computer.",
        "Your default web browser couldn't be found or started. Please check which program opens "
        "web pages on this computer.",
        "Uw standaardwebbrowser is niet gevonden of kan niet worden gestart. Controleer welk "
        "programma webpagina's op deze computer opent."};
    std::string repeats = " open 0 null held";
    for (int i = 0; i < 20; ++i)
        repeats += " open 0 null";
    for (int at = 0; at < 4; ++at) {
        const std::string& value = values[at];
        test::SetLanguage(codes[at % 3] + std::string(1, '\0'));
        RegDeleteKeyA(HKEY_CLASSES_ROOT, test::kBrowserKey);
        if (value == "<no default>")
            test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, "other", "x");
        else if (value != "<no key>")
            test::SetValue(HKEY_CLASSES_ROOT, test::kBrowserKey, nullptr, value, REG_EXPAND_SZ);
        const std::string output =
            module.Run("startup 1 nowindow watch open 0 null" + repeats + " held");
        const std::string first = "startup 1\nbeep 0\nbox BRAMOK: " + texts[at % 3] + "\nopen 0\n";
        EXPECT_EQ(output.substr(0, first.size()), first) << value;
        const std::size_t held = output.find("held "), last = output.rfind("held ");
        EXPECT_TRUE(held < last && output.substr(held, output.find('\n', held) - held) ==
                                       output.substr(last, output.find('\n', last) - last))
            << value << ": " << output;
    }
    // With a window the host's own message 42 answers.
    EXPECT_EQ(module.Run("startup 1 watch open 0 null"),
              "startup 1\nbeep 0\nbox BRAMOK: The host's own message 42.\nopen 0\n");
}
