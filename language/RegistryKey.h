#pragma once

#include <windows.h>

// A key under HKEY_CURRENT_USER, closed when the holder goes.
class CRegistryKey {
public:
    static constexpr int kMaxPathLength = 199;

    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens the key for reading, or creates it and opens it for reading and
    // writing. A path longer than kMaxPathLength is refused, never cut.
    bool Open(const char* keyPath, bool writable);
    void Close();

    HKEY m_hKey = nullptr;
    HKEY m_hRootKey = HKEY_CURRENT_USER;
    REGSAM m_access = KEY_READ;
    char m_keyPath[kMaxPathLength + 1] = "";
};
