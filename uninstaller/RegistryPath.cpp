#include "uninstaller/RegistryPath.h"

#include "foundation/RegKey.h"
#include "foundation/Text.h"

RegistryPath RegistryPath::Parse(const std::string& fullPath) {
    RegistryPath path;
    path.m_text = fullPath;
    const size_t slash = fullPath.find('\\');
    path.m_root = RootKeyFromName(fullPath.substr(0, slash));
    if (slash != std::string::npos) path.m_subkey = fullPath.substr(slash + 1);
    while (!path.m_subkey.empty() && path.m_subkey.back() == '\\') path.m_subkey.pop_back();
    return path;
}

std::string RegistryPath::LastName() const {
    const size_t slash = m_subkey.rfind('\\');
    return slash == std::string::npos ? m_subkey : m_subkey.substr(slash + 1);
}

RegistryPath RegistryPath::Parent() const {
    const size_t slash = m_text.rfind('\\');
    return Parse(slash == std::string::npos ? std::string() : m_text.substr(0, slash));
}

RegistryPath RegistryPath::Child(const std::string& name) const {
    return Parse(m_text + "\\" + name);
}

bool RegistryPath::SameKey(const RegistryPath& other) const {
    return m_root == other.m_root && SameText(m_subkey, other.m_subkey);
}

bool RegistryPath::Contains(const RegistryPath& other) const {
    if (m_root != other.m_root || other.m_subkey.size() <= m_subkey.size() + 1) return false;
    return other.m_subkey[m_subkey.size()] == '\\' && SameText(m_subkey, other.m_subkey.substr(0, m_subkey.size()));
}
