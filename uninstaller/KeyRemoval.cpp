// The "-delRegKey=" and "-rstFileAssoc=" commands and the Uninstall key.
#include "uninstaller/Removal.h"

#include "foundation/NorlibExceptions.h"
#include "foundation/RegKey.h"
#include "foundation/SameText.h"

namespace {

bool IsMissing(unsigned long code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// The key with everything below it; a missing key is no failure.
void DeleteKeyTree(const RemovalContext& context, const RegistryPath& key) {
    try {
        RegKey(key.Root(), key.Subkey()).Delete(true);
    } catch (const Norlib::RegException& e) {
        if (!IsMissing(e.ErrorCode()))
            context.report.Failure("Registry key deletion failed: " + key.Text() + ": " + e.what());
    }
}

// The key's default value; empty when the key or the value is missing.
std::string DefaultValue(const RegistryPath& key) {
    try {
        return RegKey(key.Root(), key.Subkey()).ReadString("", false);
    } catch (const Norlib::RegException&) {
        return std::string();
    }
}

bool IsExtensionKey(const RegistryPath& key) { return key.LastName()[0] == '.'; }

bool ListDeletesKey(const RemovalContext& context, const RegistryPath& key) {
    for (const UninstallCommand& command : context.info.commands)
        if (command.kind == UninstallCommand::DelRegKey && RegistryPath::Parse(command.argument).SameKey(key))
            return true;
    return false;
}

// An extension goes only while it still opens with a ProgID that this list
// removes: a user's later choice of another program survives.
bool ExtensionStillOurs(const RemovalContext& context, const RegistryPath& key) {
    const std::string progId = DefaultValue(key);
    if (progId.empty()) return false;
    if (ListDeletesKey(context, key.Parent().Child(progId))) return true;
    context.report.Line("Kept file association of extension '" + key.LastName() + "': it opens with " + progId);
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
    const std::string siblingProgId = context.sibling.ProgIdFor(key);
    if (siblingProgId.empty()) return;
    try {
        RegKey(key.Root(), key.Subkey()).WriteString("", siblingProgId, false);
        context.report.Line("Restored file association of extension '" + key.LastName() + "' to " + siblingProgId);
    } catch (const Norlib::RegException& e) {
        context.report.Failure("Restoring file association of extension '" + key.LastName() + "' failed: " +
                               e.what());
    }
}

}  // namespace

void RemoveRegistryKeys(const RemovalContext& context) {
    for (const UninstallCommand& command : context.info.commands) {
        if (command.kind != UninstallCommand::DelRegKey) continue;
        const RegistryPath key = RegistryPath::Parse(command.argument);
        if (key.SameKey(context.info.key)) continue;  // removed last, by RemoveUninstallKey
        if (context.sibling.ProtectsKey(key)) {
            context.report.Line("Kept " + key.Text() + ": " + context.sibling.Name() + " uses it");
        } else if (!IsExtensionKey(key) || ExtensionStillOurs(context, key)) {
            DeleteKeyTree(context, key);
        }
    }
}

void RestoreFileAssociations(const RemovalContext& context) {
    for (const UninstallCommand& command : context.info.commands)
        if (command.kind == UninstallCommand::RstFileAssoc) RestoreAssociation(context, command.argument);
}

void RemoveUninstallKey(const RemovalContext& context) { DeleteKeyTree(context, context.info.key); }
