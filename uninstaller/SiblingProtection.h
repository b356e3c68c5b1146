// The sibling product named by ShareResWith: when it is installed, its
// own uninstallation list (the "UninstallParam" of its Uninstall key) names
// what it registered, and none of that is removed here. An extension that
// this product took over from the sibling is given back to the sibling's
// ProgID.
#pragma once

#include "uninstaller/RegistryPath.h"
#include "uninstaller/UninstallInfo.h"

#include <set>
#include <string>
#include <vector>

class SiblingProtection {
public:
    // Protects nothing when the list names no sibling or the sibling has no
    // Uninstall key. When the key exists but its list cannot be read or
    // parsed, it fails closed: everything the sibling's text mentions is
    // protected, and everything when the text cannot be read at all.
    static SiblingProtection Load(const std::vector<UninstallCommand>& ours);

    const std::string& Name() const { return m_name; }
    // Why the sibling's list cannot be used; empty when it can.
    const std::string& Damage() const { return m_damage; }
    bool ProtectsFile(const std::string& path) const;
    bool ProtectsDirectory(const std::string& path) const;
    // The key itself or a key below it was registered by the sibling.
    bool ProtectsKey(const RegistryPath& key) const;
    // The ProgID that the sibling registered for an extension key, or empty.
    std::string ProgIdFor(const RegistryPath& extensionKey) const;

private:
    void IndexPaths();
    // True when the damaged list's text may name `text` (a path in any of
    // its spellings).
    bool MayName(const std::string& text) const;

    std::string m_name;
    std::vector<UninstallCommand> m_commands;
    std::set<std::string> m_files, m_directories;  // SpellingKey() of the paths
    std::string m_damage;
    std::string m_damagedText;  // upper case, backslashes only; empty when unreadable
};
