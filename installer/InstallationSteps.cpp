#include "installer/InstallationSteps.h"

#include "foundation/InstallError.h"

void RunInstallationSteps(bool, bool) {
    throw InstallError("Installation is not available in this build: the installation steps are missing.");
}
