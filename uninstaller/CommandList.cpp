#include "uninstaller/CommandList.h"

#include "foundation/RegKey.h"

std::vector<UninstallCommand> ParseCommandList(const std::string& text) {
    return ParseCommandList(text, [](const std::string& name) { return RootKeyFromName(name) != nullptr; });
}
