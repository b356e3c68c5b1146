#include "uninstaller/SiblingProtection.h"

#include "foundation/FullPath.h"
#include "foundation/NorlibExceptions.h"
#include "foundation/RegKey.h"
#include "foundation/SameText.h"
#include "foundation/Win.h"
#include "uninstaller/UninstallInfo.h"

namespace {

std::string UpperCase(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The list as the sibling's installer stored it; throws LoadError when the
// value cannot be read.
std::string ReadList(const RegistryPath& key) {
    try {
        return RegKey(key.Root(), key.Subkey()).ReadString("UninstallParam", true);
    } catch (const Norlib::RegException& e) {
        throw LoadError("reading \"UninstallParam\" of " + key.Text() + ": " + e.what());
    }
}

bool KeyExists(const RegistryPath& key) {
    HKEY opened = nullptr;
    const LONG code = RegOpenKeyExA(key.Root(), key.Subkey().c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (code == ERROR_SUCCESS) RegCloseKey(opened);
    return code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
}

// Paths in their full form, as ours are after the containment check.
void UseFullPaths(std::vector<UninstallCommand>& commands) {
    for (UninstallCommand& command : commands) {
        const bool path = command.kind == UninstallCommand::DelDir || command.kind == UninstallCommand::DelFile ||
                          command.kind == UninstallCommand::DelMainFile;
        if (!path || IsDevicePath(command.argument)) continue;
        const std::string full = FullPath(command.argument);
        if (!full.empty()) command.argument = full;
    }
}

}  // namespace

SiblingProtection SiblingProtection::Load(const std::vector<UninstallCommand>& ours) {
    SiblingProtection sibling;
    for (const UninstallCommand& command : ours)
        if (command.kind == UninstallCommand::ShareResWith) sibling.m_name = command.argument;
    const RegistryPath key = UninstallKeyOf(sibling.m_name);
    if (sibling.m_name.empty() || !KeyExists(key)) return sibling;  // nothing of it to keep
    std::string list;
    try {
        list = ReadList(key);
        sibling.m_commands = ParseCommandList(list);
        UseFullPaths(sibling.m_commands);
    } catch (const LoadError& e) {
        sibling.m_damage = e.what();
    } catch (const CommandListError& e) {
        sibling.m_damage = "its uninstallation command list cannot be parsed: " + std::string(e.what());
        sibling.m_damagedText = UpperCase(list);
    }
    return sibling;
}

bool SiblingProtection::MayName(const std::string& text) const {
    return m_damagedText.empty() || m_damagedText.find(UpperCase(text)) != std::string::npos;
}

bool SiblingProtection::ProtectsFile(const std::string& path) const {
    if (!m_damage.empty()) return MayName(path);
    for (const UninstallCommand& command : m_commands)
        if ((command.kind == UninstallCommand::DelFile || command.kind == UninstallCommand::DelMainFile) &&
            SameText(command.argument, path))
            return true;
    return false;
}

bool SiblingProtection::ProtectsDirectory(const std::string& path) const {
    if (!m_damage.empty()) return MayName(path);
    for (const UninstallCommand& command : m_commands)
        if (command.kind == UninstallCommand::DelDir && SameText(command.argument, path)) return true;
    return false;
}

bool SiblingProtection::ProtectsKey(const RegistryPath& key) const {
    // The subkey alone: the damaged text may spell the root either way.
    if (!m_damage.empty()) return MayName(key.Subkey());
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
