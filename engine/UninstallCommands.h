// The uninstallation command list of Options().uninstallCommands: the
// entry "-shareResWith=Pellmar" in double quotes, then one command per
// change, each as blank, double quote, keyword, argument, double quote.
// Commands are only ever appended; the uninstaller runs them.
#pragma once

#include <string>

// keyword includes the leading '-' and the trailing '=', e.g. "-delDir=".
// Nothing is escaped: arguments are paths, key paths and extension/ProgID
// pairs, none of which can hold a double quote.
void AppendUninstallCommand(const std::string& keyword, const std::string& argument);
