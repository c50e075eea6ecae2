#include "tests/support/Deployment.h"

#include "tests/support/WinTestSupport.h"

#include <sstream>

namespace test {

namespace {

constexpr const char* kProductKey = "Software\\VORANDA\\BRAMOK\\11.3";
constexpr const char* kDeployRoot = "C:\\brmtest";

} // namespace

Deployment::Deployment(const std::string& name) : m_folder(std::string(kDeployRoot) + "\\" + name)
{
    RemoveTree(m_folder);
    for (std::size_t at = m_folder.find('\\', 3); at != std::string::npos;
         at = m_folder.find('\\', at + 1))
        CreateDirectoryA(m_folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(m_folder.c_str(), nullptr);
    const std::string built = ExecutableFolder();
    for (const char* file : {"BramokHost.exe", "BRMSUPP.dll", "BRMFW.dll"})
        CopyFileTo(built + file, m_folder + "\\" + file);
}

Deployment::~Deployment()
{
    RemoveTree(m_folder);
}

void Deployment::AddLanguage(const std::string& code, const std::string& subfolder)
{
    const std::string folder = m_folder + "\\" + (subfolder.empty() ? code : subfolder);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileTo(ExecutableFolder() + code + "\\BRMSUPP.DLL", folder + "\\BRMSUPP.DLL");
}

void Deployment::AddFolder(const std::string& name)
{
    CreateDirectoryA((m_folder + "\\" + name).c_str(), nullptr);
}

void Deployment::AddFile(const std::string& name, const std::string& content)
{
    WriteFileText(m_folder + "\\" + name, content);
}

std::string Deployment::RunText(const std::string& arguments) const
{
    return RunProcessOutput("\"" + m_folder + "\\BramokHost.exe\" " + arguments, 60000);
}

std::vector<std::string> Deployment::Run(const std::string& arguments) const
{
    std::vector<std::string> lines;
    std::istringstream text(RunText(arguments));
    for (std::string line; std::getline(text, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

void SetLanguageValue(const std::string& bytes, unsigned long type)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, "Language", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void DeleteLanguageValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Language");
        RegCloseKey(key);
    }
}

void DeleteProductKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
}

bool ReadLanguageValue(std::string& bytes, unsigned long& type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char data[1024];
    DWORD size = sizeof data;
    DWORD valueType = 0;
    const LONG result = RegQueryValueExA(key, "Language", nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    bytes.assign(data, size);
    type = valueType;
    return true;
}

} // namespace test
