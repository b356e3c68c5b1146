// What the installer writes for its uninstaller and what the uninstaller
// reads and answers: both programs compile this one header, so neither can
// drift from the other. Free of Windows headers: the uninstaller's list
// parser is also built natively, for fuzzing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The product's registration, HKEY_LOCAL_MACHINE\<parent>\<key name>, and
// the values of it that the uninstaller reads.
constexpr char kUninstallRootName[] = "HKEY_LOCAL_MACHINE";
constexpr char kUninstallKeyParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kProductKeyName[] = "Quillmore";
constexpr char kCommandListValue[] = "UninstallParam";
constexpr char kInstallDirValue[] = "InstallDir";
constexpr char kVersionValue[] = "Version";

// What the installer creates outside the installation directory, under
// these names; the uninstaller removes only what carries them. The Start
// Menu folder is the product's full name; the main shortcut has the same
// name there and on the desktop; the ProgIDs are "<prefix><version><suffix>".
constexpr char kProductFullName[] = "Vantrel Quillmore";
constexpr char kMainShortcutName[] = "Quillmore.lnk";
constexpr char kProfileExtension[] = ".qmp";
constexpr char kSettingsExtension[] = ".pmx";
constexpr char kProgIdPrefix[] = "Vantrel.Quillmore.";
constexpr char kProfileProgIdSuffix[] = ".Profile";
constexpr char kSettingsProgIdSuffix[] = ".Settings";

// The uninstallation command list (value kCommandListValue): entries
// "<keyword><argument>" in double quotes, separated by single blanks, e.g.
//   "-shareResWith=Pellmar" "-delDir=C:\Q" "-delFile=C:\Q\a.txt"
enum class CommandKeyword {
    ShareResWith,  // the sibling product whose registrations are kept
    DelDir,        // a directory the installation created
    DelFile,       // a file the installation wrote
    DelMainFile,   // the product's main executable
    DelRegKey,     // a registry key, "<root name>\<subkey>"
    RstFileAssoc,  // an association to give back, ".extension:ProgID"
};

constexpr CommandKeyword kCommandKeywords[] = {CommandKeyword::ShareResWith, CommandKeyword::DelDir,
                                               CommandKeyword::DelFile,      CommandKeyword::DelMainFile,
                                               CommandKeyword::DelRegKey,    CommandKeyword::RstFileAssoc};

// With the leading '-' and the trailing '='.
constexpr const char* KeywordText(CommandKeyword keyword) {
    switch (keyword) {
        case CommandKeyword::ShareResWith:
            return "-shareResWith=";
        case CommandKeyword::DelDir:
            return "-delDir=";
        case CommandKeyword::DelFile:
            return "-delFile=";
        case CommandKeyword::DelMainFile:
            return "-delMainFile=";
        case CommandKeyword::DelRegKey:
            return "-delRegKey=";
        case CommandKeyword::RstFileAssoc:
            return "-rstFileAssoc=";
    }
    return "";
}

// Switches the installer appends when it runs an installed uninstaller: no
// questions, and the result channel, a 4-byte section and an event, each an
// inherited handle in eight or more upper-case hexadecimal digits. The
// uninstaller takes '/' for the '-' as well.
constexpr char kUnattendedSwitch[] = "-unat";
constexpr char kResultSwitch[] = "-result=";
constexpr char kDoneSwitch[] = "-done=";

// A handle value as such a switch spells it; a 32-bit handle gives the eight
// digits of "%p", and a 64-bit one is never cut.
inline std::string HandleValueText(std::uintptr_t value) {
    char text[2 * sizeof value + 1];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

// The value of a switch's hexadecimal digits (either case); 0 when the text
// is empty, has another character or more digits than a handle holds.
inline std::uintptr_t ParseHandleValue(const std::string& text) {
    if (text.empty() || text.size() > 2 * sizeof(std::uintptr_t)) return 0;
    std::uintptr_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value * 16 + static_cast<std::uintptr_t>(digit);
    }
    return value;
}

// The uninstaller's exit codes. HandedOver: a copy of the program carries
// on and, when a channel was given, reports one of the others through it.
namespace UninstallerExit {
enum Code : std::uint32_t { Removed = 0, HandedOver = 1, Declined = 2, LoadFailed = 12, RemovalFailed = 13 };
}
