#include "language/RegistryKey.h"

#include <cstring>

bool CRegistryKey::Open(const char* keyPath, bool writable)
{
    Close();
    m_hRootKey = HKEY_CURRENT_USER;
    m_access = writable ? (KEY_READ | KEY_WRITE) : KEY_READ;
    m_keyPath[0] = '\0';
    if (keyPath == nullptr)
        return false;

    std::size_t length = std::strlen(keyPath);
    if (length > 0 && keyPath[length - 1] == '\\')
        --length;
    if (length > static_cast<std::size_t>(kMaxPathLength))
        return false;
    std::memcpy(m_keyPath, keyPath, length);
    m_keyPath[length] = '\0';

    LONG result;
    if (writable)
        result = RegCreateKeyExA(m_hRootKey, m_keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 m_access, nullptr, &m_hKey, nullptr);
    else
        result = RegOpenKeyExA(m_hRootKey, m_keyPath, 0, m_access, &m_hKey);
    if (result != ERROR_SUCCESS) {
        m_hKey = nullptr;
        return false;
    }
    return true;
}

void CRegistryKey::Close()
{
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
