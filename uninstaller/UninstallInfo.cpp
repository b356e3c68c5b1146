#include "uninstaller/UninstallInfo.h"

#include "foundation/Errors.h"
#include "foundation/RegKey.h"

namespace {

std::string ReadValue(const RegistryPath& key, const std::string& name) {
    try {
        return RegKey(key.Root(), key.Subkey()).ReadString(name, false);
    } catch (const Norlib::RegException& e) {
        throw LoadError("reading \"" + name + "\" of " + key.Text() + ": " + e.what());
    }
}

}  // namespace

RegistryPath UninstallKeyOf(const std::string& keyName) {
    return RegistryPath::Parse(std::string(kUninstallRootName) + "\\" + kUninstallKeyParent + "\\" + keyName);
}

std::vector<UninstallCommand> ParseCommandList(const std::string& text) {
    return ParseCommandList(text, [](const std::string& name) { return RootKeyFromName(name) != nullptr; });
}

UninstallInfo LoadUninstallInfo(const std::string& keyName) {
    UninstallInfo info;
    info.key = UninstallKeyOf(keyName);
    const std::string list = ReadValue(info.key, kCommandListValue);
    info.installDir = ReadValue(info.key, kInstallDirValue);
    try {
        info.version = ReadValue(info.key, kVersionValue);
    } catch (const LoadError&) {
        // Without it no ProgID is the product's, and a list that names one is refused.
    }
    try {
        info.commands = ParseCommandList(list);
    } catch (const CommandListError& e) {
        throw LoadError("the uninstallation command list cannot be parsed: " + std::string(e.what()));
    }
    return info;
}
