#include "engine/UninstallCommands.h"

#include "system/InstallOptions.h"

void AppendUninstallCommand(const std::string& keyword, const std::string& argument) {
    Options().uninstallCommands += " \"" + keyword + argument + "\"";
}
