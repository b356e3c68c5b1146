#include "installer/RequirementsCheck.h"

#include "engine/InstallOptions.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"

namespace {

const VersionTriple minimumWindows95Family{1, 4, 10};
const VersionTriple windowsNt4{2, 4, 0};
const std::int32_t minimumNt4ServicePack = 3;
const VersionTriple minimumInternetExplorer{4, 71, 1712};

bool OperatingSystemMet(const VersionTriple& os, std::int32_t servicePack) {
    if (os.a != 2) return os >= minimumWindows95Family;
    if (os == windowsNt4) return servicePack >= minimumNt4ServicePack;
    return os >= windowsNt4;
}

bool UserAcceptsUnsupportedSystem() {
    return MessageBoxA(nullptr, kUnsupportedSystemQuestion, kUnsupportedSystemCaption,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

bool RequirementsMet(const VersionTriple& os, std::int32_t servicePack, const VersionTriple& internetExplorer) {
    return internetExplorer >= minimumInternetExplorer && OperatingSystemMet(os, servicePack);
}

void CheckSystemRequirements() {
    SystemInfo system;
    if (RequirementsMet(system.OsVersion(), system.ServicePack(), system.InternetExplorerVersion())) return;

    const InstallOptions& options = Options();
    if (options.interactive) {
        if (UserAcceptsUnsupportedSystem()) return;
        throw SilentExit(InstallerExit::UnsupportedSystem);
    }
    if (options.force) {
        ConsoleLine(kUnsupportedSystemWarningLine);
        return;
    }
    ConsoleLine(kUnsupportedSystemAbortLine);
    throw SilentExit(InstallerExit::UnsupportedSystem);
}
