// The uninstallation command list of Options().uninstallCommands, in the
// form UninstallContract.h gives: the sibling's entry first, then one
// command per change. Commands are only ever appended; the uninstaller
// runs them.
#pragma once

#include "contract/UninstallContract.h"

#include <string>

// Starts the list with the entry that names the sibling product.
void StartUninstallCommands(const std::string& siblingProduct);

// Appends blank, double quote, keyword, argument, double quote. Nothing is
// escaped: arguments are paths, key paths and extension/ProgID pairs, none
// of which can hold a double quote.
void AppendUninstallCommand(CommandKeyword keyword, const std::string& argument);
