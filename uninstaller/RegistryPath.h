// A full registry key path of the command list, such as
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes\.qmp, split into root and subkey so
// that HKLM\x and HKEY_LOCAL_MACHINE\x compare equal.
#pragma once

#include "foundation/Win.h"

#include <string>

class RegistryPath {
public:
    static RegistryPath Parse(const std::string& fullPath);

    // A known root and a key below it: a root itself is never deleted.
    bool IsValid() const { return m_root != nullptr && !m_subkey.empty(); }

    const std::string& Text() const { return m_text; }
    HKEY Root() const { return m_root; }
    const std::string& Subkey() const { return m_subkey; }
    std::string LastName() const;
    RegistryPath Parent() const;
    RegistryPath Child(const std::string& name) const;

    bool SameKey(const RegistryPath& other) const;
    // True when `other` lies somewhere below this key.
    bool Contains(const RegistryPath& other) const;

private:
    std::string m_text;
    HKEY m_root = nullptr;
    std::string m_subkey;
};
