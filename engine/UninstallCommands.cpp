#include "engine/UninstallCommands.h"

#include "system/InstallOptions.h"

namespace {

std::string Entry(CommandKeyword keyword, const std::string& argument) {
    return "\"" + std::string(KeywordText(keyword)) + argument + "\"";
}

}  // namespace

void StartUninstallCommands(const std::string& siblingProduct) {
    Options().uninstallCommands = Entry(CommandKeyword::ShareResWith, siblingProduct);
}

void AppendUninstallCommand(CommandKeyword keyword, const std::string& argument) {
    Options().uninstallCommands += " " + Entry(keyword, argument);
}
