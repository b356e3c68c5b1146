// Removal of an installed copy of the product by its own uninstaller, run
// unattended with a result channel before the installation steps.
#pragma once

#include "installer/UninstallerProcess.h"

#include <string>

// Returns when there was nothing to remove, the removal succeeded, or its
// failure was accepted (question answered Yes, or -force); otherwise throws
// SilentExit(107).
void RemovePreviousInstallation();

// What the registry tells of an installed copy of the product: its
// Uninstall key values. A value that cannot be read counts as absent.
std::string ReadPreviousUninstallString();  // empty when absent
std::string ReadPreviousVersion();          // empty when absent

// The installed copy's "InstallDir", else the Program Files folder joined
// with the product's full name.
std::string DefaultInstallDirectory();
