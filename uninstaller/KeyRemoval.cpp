// The DelRegKey and RstFileAssoc commands and the Uninstall key.
#include "uninstaller/Removal.h"

#include "foundation/Errors.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"

#include <vector>

namespace {

bool IsMissing(unsigned long code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Deletes the key that a handle stands for, whatever it is (a link itself,
// when opened as one). Windows 9x, which has no registry links, lacks it.
using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE key);

// Keys opened as they are: a registry link is opened as the link, never as
// the key it points to, and deleted as a link.
class KeyOpener {
public:
    KeyOpener()
        : m_deleteKey(reinterpret_cast<NtDeleteKeyFunction>(
              reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")))) {}

    LONG Open(HKEY parent, const std::string& name, REGSAM access, UniqueRegKey& key) const {
        HKEY opened = nullptr;
        const DWORD options = m_deleteKey != nullptr ? REG_OPTION_OPEN_LINK : 0;
        const LONG code = RegOpenKeyExA(parent, name.c_str(), options, access, &opened);
        if (code == ERROR_SUCCESS) key.reset(opened);
        return code;
    }

    static bool IsLink(HKEY key) {
        DWORD type = REG_NONE;
        return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
               type == REG_LINK;
    }

    // The whole tree below `name`; a link in it goes as a link.
    LONG DeleteTree(HKEY parent, const std::string& name) const {
        UniqueRegKey key;
        LONG code = Open(parent, name, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, key);
        if (code != ERROR_SUCCESS) return code;
        if (!IsLink(key.get())) {
            // Index 0 each time: the subkey found there was just deleted.
            while (true) {
                char subkey[256];
                DWORD length = sizeof subkey;
                code = RegEnumKeyExA(key.get(), 0, subkey, &length, nullptr, nullptr, nullptr, nullptr);
                if (code == ERROR_NO_MORE_ITEMS) break;
                if (code == ERROR_SUCCESS) code = DeleteTree(key.get(), subkey);
                if (code != ERROR_SUCCESS) return code;
            }
        }
        if (m_deleteKey == nullptr) return RegDeleteKeyA(parent, name.c_str());
        return m_deleteKey(key.get()) == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    }

private:
    NtDeleteKeyFunction m_deleteKey;
};

std::vector<std::string> Names(const std::string& subkey) {
    std::vector<std::string> names;
    for (size_t start = 0; start <= subkey.size();) {
        size_t slash = subkey.find('\\', start);
        if (slash == std::string::npos) slash = subkey.size();
        names.push_back(subkey.substr(start, slash - start));
        start = slash + 1;
    }
    return names;
}

bool IsLinkKey(const RegistryPath& key) {
    const size_t slash = key.Subkey().rfind('\\');
    UniqueRegKey parent, opened;
    HKEY handle = nullptr;
    if (slash == std::string::npos || RegOpenKeyExA(key.Root(), key.Subkey().substr(0, slash).c_str(), 0,
                                                    KEY_ENUMERATE_SUB_KEYS, &handle) != ERROR_SUCCESS)
        return false;
    parent.reset(handle);
    return KeyOpener().Open(parent.get(), key.LastName(), KEY_QUERY_VALUE, opened) == ERROR_SUCCESS &&
           KeyOpener::IsLink(opened.get());
}

// The key with everything below it; a missing key is no failure. Below the
// product's area the names are opened one at a time, so that a link on the
// way keeps the key rather than leading elsewhere.
void DeleteKeyTree(const RemovalContext& context, const RegistryPath& key) {
    const KeyOpener opener;
    const RegistryPath area = context.containment.KeyArea(key);
    const std::vector<std::string> names = Names(key.Subkey().substr(area.Subkey().size() + 1));
    UniqueRegKey parent;
    HKEY opened = nullptr;
    LONG code = RegOpenKeyExA(area.Root(), area.Subkey().c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &opened);
    if (code == ERROR_SUCCESS) parent.reset(opened);
    for (size_t at = 0; code == ERROR_SUCCESS && at + 1 < names.size(); ++at) {
        UniqueRegKey next;
        code = opener.Open(parent.get(), names[at], KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, next);
        if (code == ERROR_SUCCESS && KeyOpener::IsLink(next.get())) {
            context.report.Line(KeptBehindKeyLinkLine(key.Text()));
            return;
        }
        parent = std::move(next);
    }
    if (code == ERROR_SUCCESS) code = opener.DeleteTree(parent.get(), names.back());
    if (code != ERROR_SUCCESS && !IsMissing(code))
        context.report.Failure(KeyDeletionFailedLine(key.Text(), DescribeWindowsError(code)));
}

// The key's default value; empty when the key or the value is missing.
std::string DefaultValue(const RegistryPath& key) {
    try {
        return RegKey(key.Root(), key.Subkey()).ReadString("", false);
    } catch (const Norlib::RegException&) {
        return std::string();
    }
}

bool IsExtensionKey(const RegistryPath& key) {
    return key.LastName()[0] == '.';
}

bool ListDeletesKey(const RemovalContext& context, const RegistryPath& key) {
    for (const UninstallCommand& command : context.info.commands)
        if (command.kind == CommandKeyword::DelRegKey && RegistryPath::Parse(command.argument).SameKey(key))
            return true;
    return false;
}

// An extension goes only while it still opens with a ProgID that this list
// removes: a user's later choice of another program survives.
bool ExtensionStillOurs(const RemovalContext& context, const RegistryPath& key) {
    const std::string progId = DefaultValue(key);
    if (progId.empty()) return false;
    if (ListDeletesKey(context, key.Parent().Child(progId))) return true;
    context.report.Line(KeptAssociationLine(key.LastName(), progId));
    return false;
}

void RestoreAssociation(const RemovalContext& context, const std::string& argument) {
    const size_t colon = argument.find(':');
    const RegistryPath key = RegistryPath::Parse("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + argument.substr(0, colon));
    if (!SameText(DefaultValue(key), argument.substr(colon + 1))) return;
    if (!context.sibling.ProtectsKey(key)) {
        DeleteKeyTree(context, key);
        return;
    }
    // The ProgID goes into the key itself, never into what a link points to.
    if (IsLinkKey(key)) {
        context.report.Line(KeptLinkLine(key.Text()));
        return;
    }
    const std::string siblingProgId = context.sibling.ProgIdFor(key);
    if (siblingProgId.empty()) return;
    try {
        RegKey(key.Root(), key.Subkey()).WriteString("", siblingProgId, false);
        context.report.Line(RestoredAssociationLine(key.LastName(), siblingProgId));
    } catch (const Norlib::RegException& e) {
        context.report.Failure(AssociationNotRestoredLine(key.LastName(), e.what()));
    }
}

}  // namespace

void RemoveRegistryKeys(const RemovalContext& context) {
    for (const UninstallCommand& command : context.info.commands) {
        if (command.kind != CommandKeyword::DelRegKey) continue;
        const RegistryPath key = RegistryPath::Parse(command.argument);
        if (key.SameKey(context.info.key)) continue;  // removed last, by RemoveUninstallKey
        if (context.sibling.ProtectsKey(key)) {
            context.report.Line(KeptForSiblingLine(key.Text(), context.sibling.Name()));
        } else if (!IsExtensionKey(key) || ExtensionStillOurs(context, key)) {
            DeleteKeyTree(context, key);
        }
    }
}

void RestoreFileAssociations(const RemovalContext& context) {
    for (const UninstallCommand& command : context.info.commands)
        if (command.kind == CommandKeyword::RstFileAssoc) RestoreAssociation(context, command.argument);
}

void RemoveUninstallKey(const RemovalContext& context) {
    DeleteKeyTree(context, context.info.key);
}
