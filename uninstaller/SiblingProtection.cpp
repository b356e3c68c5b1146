#include "uninstaller/SiblingProtection.h"

#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "uninstaller/Containment.h"
#include "uninstaller/UninstallInfo.h"

namespace {

// One spelling of a path, for comparison: full, long names, upper case.
std::string SpellingKey(const std::string& path) {
    const std::string plain = PlainFullPath(path);
    return UpperCase(LongPathOf(plain.empty() ? FullPath(path) : plain));
}

std::string WithBackslashes(std::string text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

// The list as the sibling's installer stored it; throws LoadError when the
// value cannot be read.
std::string ReadList(const RegistryPath& key) {
    try {
        return RegKey(key.Root(), key.Subkey()).ReadString(kCommandListValue, true);
    } catch (const Norlib::RegException& e) {
        throw LoadError("reading \"" + std::string(kCommandListValue) + "\" of " + key.Text() + ": " + e.what());
    }
}

bool KeyExists(const RegistryPath& key) {
    HKEY opened = nullptr;
    const LONG code = RegOpenKeyExA(key.Root(), key.Subkey().c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (code == ERROR_SUCCESS) RegCloseKey(opened);
    return code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
}

}  // namespace

SiblingProtection SiblingProtection::Load(const std::vector<UninstallCommand>& ours) {
    SiblingProtection sibling;
    for (const UninstallCommand& command : ours)
        if (command.kind == CommandKeyword::ShareResWith) sibling.m_name = command.argument;
    const RegistryPath key = UninstallKeyOf(sibling.m_name);
    if (sibling.m_name.empty() || !KeyExists(key)) return sibling;  // nothing of it to keep
    std::string list;
    try {
        list = ReadList(key);
        sibling.m_commands = ParseCommandList(list);
        sibling.IndexPaths();
    } catch (const LoadError& e) {
        sibling.m_damage = e.what();
    } catch (const CommandListError& e) {
        sibling.m_damage = "its uninstallation command list cannot be parsed: " + std::string(e.what());
        sibling.m_damagedText = UpperCase(WithBackslashes(list));
    }
    return sibling;
}

void SiblingProtection::IndexPaths() {
    for (const UninstallCommand& command : m_commands) {
        if (command.kind == CommandKeyword::DelDir) m_directories.insert(SpellingKey(command.argument));
        if (command.kind == CommandKeyword::DelFile || command.kind == CommandKeyword::DelMainFile)
            m_files.insert(SpellingKey(command.argument));
    }
}

bool SiblingProtection::MayName(const std::string& text) const {
    if (m_damagedText.empty()) return true;
    for (const std::string& spelling : {text, LongPathOf(text), ShortPathOf(text)})
        if (!spelling.empty() && m_damagedText.find(UpperCase(spelling)) != std::string::npos) return true;
    return false;
}

bool SiblingProtection::ProtectsFile(const std::string& path) const {
    if (!m_damage.empty()) return MayName(path);
    return !m_files.empty() && m_files.count(SpellingKey(path)) != 0;
}

bool SiblingProtection::ProtectsDirectory(const std::string& path) const {
    if (!m_damage.empty()) return MayName(path);
    return !m_directories.empty() && m_directories.count(SpellingKey(path)) != 0;
}

bool SiblingProtection::ProtectsKey(const RegistryPath& key) const {
    // The subkey alone: the damaged text may spell the root either way.
    if (!m_damage.empty()) return MayName(key.Subkey());
    for (const UninstallCommand& command : m_commands) {
        if (command.kind != CommandKeyword::DelRegKey) continue;
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
        if (command.kind != CommandKeyword::DelRegKey) continue;
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
