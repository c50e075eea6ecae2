#pragma once

// Installs, starts, stops and removes the test update service with the real
// service control manager.

#include <string>

namespace test {

class TestService {
public:
    // Installs "VORANDA Update" recording into recordFile; slow makes it
    // answer check-now later than the manager waits.
    TestService(const std::string& recordFile, const std::string& settingsFile,
                const std::string& section, bool slow);
    ~TestService();   // stops and deletes it
    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;

    bool Start();
    bool Stop();
    bool Installed() const { return m_installed; }

private:
    bool m_installed = false;
};

// Removes a service of that name left by an earlier run.
void RemoveUpdateService();

} // namespace test
