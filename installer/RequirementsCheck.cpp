#include "installer/RequirementsCheck.h"

#include "engine/InstallOptions.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"

#include <string>

namespace {

const VersionTriple minimumWindows95Family{1, 4, 10};
const VersionTriple windowsNt4{2, 4, 0};
const std::int32_t minimumNt4ServicePack = 3;
const VersionTriple minimumInternetExplorer{4, 71, 1712};
const int unsupportedSystemExitCode = 130;

bool OperatingSystemMet(const VersionTriple& os, std::int32_t servicePack) {
    if (os.a != 2) return os >= minimumWindows95Family;
    if (os == windowsNt4) return servicePack >= minimumNt4ServicePack;
    return os >= windowsNt4;
}

bool UserAcceptsUnsupportedSystem() {
    const char text[] =
        "The minimum requirements for installing Quillmore are:\n"
        "- Windows 98 or Windows NT 4.0 SP3,\n"
        "- Internet Explorer 4.0.\n"
        "\n"
        "Does your system meet Quillmore minimum requirements?";
    return MessageBoxA(nullptr, text, "Unsupported OS Version Detected", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
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
        throw SilentExit(unsupportedSystemExitCode);
    }
    const std::string message =
        "Quillmore requires Windows 98 or Windows NT 4.0 SP3 and Internet Explorer 4.0, or higher";
    if (options.force) {
        ConsoleLine("Warning: " + message);
        return;
    }
    ConsoleLine(message + " (use /Force flag to override version checking); aborting");
    throw SilentExit(unsupportedSystemExitCode);
}
