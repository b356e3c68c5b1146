#include "installer/PreviousInstallationInfo.h"

#include "foundation/JoinPath.h"
#include "foundation/NorlibExceptions.h"
#include "foundation/RegKey.h"
#include "installer/ProductDefinition.h"
#include "system/SpecialFolders.h"

#include <optional>

namespace {

std::optional<std::string> ReadUninstallValue(const char* valueName) {
    try {
        return RegKey(HKEY_LOCAL_MACHINE, ProductUninstallKey).ReadString(valueName, true);
    } catch (const Norlib::RegException&) {
        return std::nullopt;
    }
}

}  // namespace

std::string ReadPreviousUninstallString() {
    return ReadUninstallValue("UninstallString").value_or(std::string());
}

std::string ReadPreviousVersion() {
    return ReadUninstallValue("Version").value_or(std::string());
}

std::string DefaultInstallDirectory() {
    if (auto directory = ReadUninstallValue("InstallDir")) return *directory;
    return JoinPath(ProgramFilesFolder(), ProductFullName);
}
