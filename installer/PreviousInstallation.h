// Removal of an installed copy of the product by its own uninstaller, run
// unattended with a result channel before the installation steps.
#pragma once

#include "installer/UninstallerProcess.h"

// Returns when there was nothing to remove, the removal succeeded, or its
// failure was accepted (question answered Yes, or -force); otherwise throws
// SilentExit(107).
void RemovePreviousInstallation();
