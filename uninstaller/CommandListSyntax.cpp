#include "uninstaller/CommandListSyntax.h"

namespace {

// Either slash: the system takes both.
bool IsAbsolutePath(const std::string& path) {
    auto slash = [&](size_t at) { return path[at] == '\\' || path[at] == '/'; };
    const bool drive = path.size() >= 3 && path[1] == ':' && slash(2);
    const bool unc = path.size() >= 3 && slash(0) && slash(1);
    return drive || unc;
}

// As RegistryPath reads it: the root before the first backslash, a subkey
// that is more than trailing backslashes.
bool NamesKeyBelowRoot(const std::string& path, RegistryRootTest isRegistryRoot) {
    const size_t slash = path.find('\\');
    if (slash == std::string::npos || !isRegistryRoot(path.substr(0, slash))) return false;
    return path.find_first_not_of('\\', slash) != std::string::npos;
}

bool IsAssociation(const std::string& text) {
    const size_t colon = text.find(':');
    return text.size() > 1 && text[0] == '.' && colon != std::string::npos && colon > 1 && colon + 1 < text.size();
}

void CheckArgument(const UninstallCommand& command, const std::string& entry, RegistryRootTest isRegistryRoot) {
    bool usable = true;
    switch (command.kind) {
        case CommandKeyword::ShareResWith:
            usable = !command.argument.empty() && command.argument.find('\\') == std::string::npos;
            break;
        case CommandKeyword::DelDir:
        case CommandKeyword::DelFile:
        case CommandKeyword::DelMainFile:
            usable = IsAbsolutePath(command.argument);
            break;
        case CommandKeyword::DelRegKey:
            usable = NamesKeyBelowRoot(command.argument, isRegistryRoot);
            break;
        case CommandKeyword::RstFileAssoc:
            usable = IsAssociation(command.argument);
            break;
    }
    if (!usable) throw CommandListError("unusable argument in \"" + entry + "\"");
}

UninstallCommand ParseEntry(const std::string& entry, RegistryRootTest isRegistryRoot) {
    for (const CommandKeyword keyword : kCommandKeywords) {
        const std::string text = KeywordText(keyword);
        if (entry.compare(0, text.size(), text) == 0) {
            UninstallCommand command{keyword, entry.substr(text.size())};
            CheckArgument(command, entry, isRegistryRoot);
            return command;
        }
    }
    throw CommandListError("unknown command \"" + entry + "\"");
}

}  // namespace

std::vector<UninstallCommand> ParseCommandList(const std::string& text, RegistryRootTest isRegistryRoot) {
    std::vector<UninstallCommand> commands;
    size_t position = 0;
    while (true) {
        while (position < text.size() && text[position] == ' ') ++position;
        if (position == text.size()) break;
        if (text[position] != '"')
            throw CommandListError("entry without double quote at offset " + std::to_string(position));
        const size_t end = text.find('"', position + 1);
        if (end == std::string::npos)
            throw CommandListError("unterminated entry at offset " + std::to_string(position));
        commands.push_back(ParseEntry(text.substr(position + 1, end - position - 1), isRegistryRoot));
        position = end + 1;
    }
    if (commands.empty()) throw CommandListError("the list is empty");
    return commands;
}
