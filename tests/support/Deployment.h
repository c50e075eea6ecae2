#pragma once

// A throw-away deployment of the host, the support module and chosen
// language modules in a folder of its own, and the product key it reads.

#include <string>
#include <vector>

namespace test {

class Deployment {
public:
    // Copies host, framework and support module into a fresh folder.
    explicit Deployment(const std::string& name);
    ~Deployment();
    Deployment(const Deployment&) = delete;
    Deployment& operator=(const Deployment&) = delete;

    const std::string& Folder() const { return m_folder; }
    // Puts the built language module of code into subfolder (default: code).
    void AddLanguage(const std::string& code, const std::string& subfolder = "");
    void AddFolder(const std::string& name);
    void AddFile(const std::string& name, const std::string& content = "x");

    // Runs the host with the given arguments; its output lines.
    std::vector<std::string> Run(const std::string& arguments) const;
    // The same, as one text.
    std::string RunText(const std::string& arguments) const;

private:
    std::string m_folder;
};

// The product key's "Language" value, raw.
void SetLanguageValue(const std::string& bytes, unsigned long type);
void DeleteLanguageValue();
void DeleteProductKey();
// The value as stored: true when present, with its type and bytes.
bool ReadLanguageValue(std::string& bytes, unsigned long& type);

} // namespace test
