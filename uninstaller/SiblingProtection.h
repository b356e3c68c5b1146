// The sibling product named by "-shareResWith=": when it is installed, its
// own uninstallation list (the "UninstallParam" of its Uninstall key) names
// what it registered, and none of that is removed here. An extension that
// this product took over from the sibling is given back to the sibling's
// ProgID.
#pragma once

#include "uninstaller/CommandList.h"
#include "uninstaller/RegistryPath.h"

#include <string>
#include <vector>

class SiblingProtection {
public:
    // Protects nothing when the list names no sibling or the sibling's list
    // cannot be read or parsed.
    static SiblingProtection Load(const std::vector<UninstallCommand>& ours);

    const std::string& Name() const { return m_name; }
    bool ProtectsFile(const std::string& path) const;
    bool ProtectsDirectory(const std::string& path) const;
    // The key itself or a key below it was registered by the sibling.
    bool ProtectsKey(const RegistryPath& key) const;
    // The ProgID that the sibling registered for an extension key, or empty.
    std::string ProgIdFor(const RegistryPath& extensionKey) const;

private:
    std::string m_name;
    std::vector<UninstallCommand> m_commands;
};
