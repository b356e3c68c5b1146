#include "engine/FileRules.h"

#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
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
    DecideOnRecoverableFailure(FileExistsFailure(path));
}

void UndoFileCreation(const std::string& path) {
    RemoveWithUndoReport(UndoneObject::File, path);
}
