// The uninstallation command list (ours and the sibling's, one input each
// side of the first NUL byte): whatever is accepted obeys the argument
// rules and reads back the same when written as the installer writes it;
// everything else is refused with CommandListError.
#include "uninstaller/CommandListSyntax.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kKeywords[] = {
    "-shareResWith=", "-delDir=", "-delFile=", "-delMainFile=", "-delRegKey=", "-rstFileAssoc="};

[[noreturn]] void Fail(const char* property, const std::string& text) {
    std::fprintf(stderr, "property violated: %s\nlist: %s\n", property, text.c_str());
    std::abort();
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAsciiText(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The roots of the registry layer, compared as the code page 1252 does.
bool IsRoot(const std::string& name) {
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKCU", "HKEY_LOCAL_MACHINE", "HKLM",
                             "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"})
        if (SameAsciiText(name, root)) return true;
    return false;
}

bool Usable(const UninstallCommand& command) {
    const std::string& arg = command.argument;
    if (arg.find('"') != std::string::npos) return false;
    switch (command.kind) {
        case CommandKeyword::ShareResWith:
            // It names one key below Uninstall, never a path to another.
            return !arg.empty() && arg.find('\\') == std::string::npos;
        case CommandKeyword::DelDir:
        case CommandKeyword::DelFile:
        case CommandKeyword::DelMainFile: {
            // A drive or a server, with either slash: the installer writes what the system accepts.
            auto separator = [&](std::size_t at) { return arg[at] == '\\' || arg[at] == '/'; };
            return arg.size() >= 3 && ((arg[1] == ':' && separator(2)) || (separator(0) && separator(1)));
        }
        case CommandKeyword::DelRegKey: {
            const std::size_t slash = arg.find('\\');
            return slash != std::string::npos && IsRoot(arg.substr(0, slash)) &&
                   arg.find_first_not_of('\\', slash) != std::string::npos;
        }
        case CommandKeyword::RstFileAssoc: {
            const std::size_t colon = arg.find(':');
            return arg.size() > 1 && arg[0] == '.' && colon != std::string::npos && colon > 1 && colon + 1 < arg.size();
        }
    }
    return false;
}

// As the installer appends them: blank, quote, keyword, argument, quote.
std::string Written(const std::vector<UninstallCommand>& commands) {
    std::string text;
    for (const UninstallCommand& command : commands)
        text += std::string(" \"") + kKeywords[static_cast<int>(command.kind)] + command.argument + "\"";
    return text;
}

void Check(const std::string& text) {
    std::vector<UninstallCommand> commands;
    try {
        commands = ParseCommandList(text, IsRoot);
    } catch (const CommandListError& e) {
        if (std::string(e.what()).empty()) Fail("a refusal without a reason", text);
        return;
    }
    if (commands.empty()) Fail("an empty list accepted", text);
    for (const UninstallCommand& command : commands)
        if (!Usable(command)) Fail("an unusable argument accepted", text);
    const std::vector<UninstallCommand> again = ParseCommandList(Written(commands), IsRoot);
    if (again.size() != commands.size()) Fail("the written list reads back with another length", text);
    for (std::size_t i = 0; i < again.size(); ++i)
        if (again[i].kind != commands[i].kind || again[i].argument != commands[i].argument)
            Fail("the written list reads back differently", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    Check(input.substr(0, split));
    if (split != std::string::npos) Check(input.substr(split + 1));
    return 0;
}
