// The uninstallation command list that the installer stores in the
// product's Uninstall key, in the form UninstallContract.h gives. The syntax
// alone, free of Windows headers: the caller says which names are registry
// roots.
#pragma once

#include "contract/UninstallContract.h"

#include <stdexcept>
#include <string>
#include <vector>

struct UninstallCommand {
    CommandKeyword kind;
    std::string argument;
};

class CommandListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using RegistryRootTest = bool (*)(const std::string& name);

// Throws CommandListError for anything but well-formed entries with known
// keywords and usable arguments: file system paths must be absolute,
// registry paths must start with a root name and name a key below it, and
// associations read ".extension:ProgID". Nothing is removed on the strength
// of a list that is not understood in full.
std::vector<UninstallCommand> ParseCommandList(const std::string& text, RegistryRootTest isRegistryRoot);
