// What the registry tells of an installed copy of the product: its
// Uninstall key values. A value that cannot be read counts as absent.
#pragma once

#include <string>

std::string ReadPreviousUninstallString();  // empty when absent
std::string ReadPreviousVersion();          // empty when absent

// The installed copy's "InstallDir", else the Program Files folder joined
// with the product's full name.
std::string DefaultInstallDirectory();
