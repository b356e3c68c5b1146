#include "engine/FileRules.h"

#include "engine/InstallerMessages.h"
#include "engine/RecoverableFailure.h"
#include "engine/UndoReport.h"
#include "engine/UninstallCommands.h"
#include "system/InstallOptions.h"

#include <algorithm>

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

void RecordFileUninstallCommand(const std::string& path) {
    bool isMain = EqualIgnoringAsciiCase(path, Options().mainExecutablePath);
    AppendUninstallCommand(isMain ? CommandKeyword::DelMainFile : CommandKeyword::DelFile, path);
}

void ConfirmOverwrite(const std::string& path) {
    DecideOnRecoverableFailure({
        "Warning: '" + path +
            "' already exists.\nDo you want it to be overwritten?\n"
            "Clicking 'Yes' will overwrite the file, clicking 'No' will abort the installation.",
        "Target File Exists",
        "Warning: '" + path + "' already exists, will be overwritten",
        "Target file '" + path + "' already exists, aborting",
        "file already exists",
        InstallerExit::FileExists,
    });
}

void UndoFileCreation(const std::string& path) {
    RemoveWithUndoReport(UndoneObject::File, path);
}
