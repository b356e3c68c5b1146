#include "engine/UninstallCommands.h"

#include "engine/InstallOptions.h"

void AppendUninstallCommand(const std::string& keyword, const std::string& argument) {
    Options().uninstallCommands += " \"" + keyword + argument + "\"";
}
