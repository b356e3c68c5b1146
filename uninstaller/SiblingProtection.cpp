#include "uninstaller/SiblingProtection.h"

#include "uninstaller/SameText.h"
#include "uninstaller/UninstallInfo.h"

SiblingProtection SiblingProtection::Load(const std::vector<UninstallCommand>& ours) {
    SiblingProtection sibling;
    for (const UninstallCommand& command : ours)
        if (command.kind == UninstallCommand::ShareResWith) sibling.m_name = command.argument;
    if (sibling.m_name.empty()) return sibling;
    try {
        sibling.m_commands = LoadUninstallInfo(sibling.m_name).commands;
    } catch (const LoadError&) {
        // Not installed (or not readable): there is nothing of it to keep.
    }
    return sibling;
}

bool SiblingProtection::ProtectsFile(const std::string& path) const {
    for (const UninstallCommand& command : m_commands)
        if ((command.kind == UninstallCommand::DelFile || command.kind == UninstallCommand::DelMainFile) &&
            SameText(command.argument, path))
            return true;
    return false;
}

bool SiblingProtection::ProtectsDirectory(const std::string& path) const {
    for (const UninstallCommand& command : m_commands)
        if (command.kind == UninstallCommand::DelDir && SameText(command.argument, path)) return true;
    return false;
}

bool SiblingProtection::ProtectsKey(const RegistryPath& key) const {
    for (const UninstallCommand& command : m_commands) {
        if (command.kind != UninstallCommand::DelRegKey) continue;
        const RegistryPath theirs = RegistryPath::Parse(command.argument);
        if (key.SameKey(theirs) || key.Contains(theirs)) return true;
    }
    return false;
}

std::string SiblingProtection::ProgIdFor(const RegistryPath& extensionKey) const {
    // An association's commands come as: extension key, the verb keys, the
    // Shell key, then the ProgID key, a direct sibling of the extension key.
    const RegistryPath classes = extensionKey.Parent();
    bool afterExtension = false;
    for (const UninstallCommand& command : m_commands) {
        if (command.kind != UninstallCommand::DelRegKey) continue;
        const RegistryPath key = RegistryPath::Parse(command.argument);
        if (key.SameKey(extensionKey)) {
            afterExtension = true;
        } else if (afterExtension && key.Parent().SameKey(classes)) {
            const std::string name = key.LastName();
            return name[0] == '.' ? std::string() : name;
        }
    }
    return std::string();
}
