// The uninstallation command list as this program reads it: the syntax of
// CommandListSyntax.h with the registry roots the registry layer knows.
#pragma once

#include "uninstaller/CommandListSyntax.h"

std::vector<UninstallCommand> ParseCommandList(const std::string& text);
